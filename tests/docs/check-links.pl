#!/usr/bin/perl
# Checks the links between the documents: every relative link in the given
# Markdown files names a file that exists, and a link to a heading
# ("page.md#the-port-is-busy", or "#no-answer" within the page) names a
# heading that page has, spelt as Markdown renderers make its anchor.
#   check-links.pl FILE.md...
use strict;
use warnings;
use File::Basename qw(dirname);
use File::Spec;

my %anchors;  # file -> { anchor -> 1 }
sub anchorsOf {
  my ($file) = @_;
  return $anchors{$file} if $anchors{$file};
  my %found;
  open(my $in, '<:encoding(UTF-8)', $file) or return $anchors{$file} = {};
  my $fenced = 0;
  while (my $line = <$in>) {
    $fenced = !$fenced if $line =~ /^```/;
    next if $fenced || $line !~ /^#+\s+(.*?)\s*$/;
    my $slug = lc $1;
    $slug =~ s/[^\w\- ]//g;
    $slug =~ s/ /-/g;
    $found{$slug} = 1;
  }
  return $anchors{$file} = \%found;
}

my $failures = 0;
for my $file (@ARGV) {
  open(my $in, '<:encoding(UTF-8)', $file) or die "cannot read $file\n";
  my $fenced = 0;
  while (my $line = <$in>) {
    $fenced = !$fenced if $line =~ /^```/;
    next if $fenced;
    $line =~ s/`[^`]*`//g;  # code spans hold no links
    while ($line =~ /\]\(([^)\s]+)\)/g) {
      my $target = $1;
      next if $target =~ m{^[a-z]+:};  # http:, https:, mailto:
      my ($path, $anchor) = split /#/, $target, 2;
      my $resolved = $path eq '' ? $file : File::Spec->catfile(dirname($file), $path);
      if (!-e $resolved) {
        print STDERR "FAIL: $file:$.: $target: no such file\n";
        $failures++;
      } elsif (defined $anchor && $resolved =~ /\.md$/ && !anchorsOf($resolved)->{$anchor}) {
        print STDERR "FAIL: $file:$.: $target: no such heading\n";
        $failures++;
      }
    }
  }
}
exit($failures ? 1 : 0);
