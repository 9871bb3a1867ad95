// fonexa: the Fonexa SDK from a shell.
#include <cstdio>
#include <exception>

#include "CommandError.h"
#include "Commands.h"
#include "StopRequest.h"

using namespace fonexa::cli;

int main(int argc, char** argv) {
  StopRequest::install();
  GlobalOptions options;
  int code = 0;
  {
    CommandContext context(options);
    CLI::App app("", "fonexa");
    buildApplication(app, context, options);
    try {
      app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
      // Help and the version are answers, not errors.
      if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(error);
      std::fprintf(stderr, "fonexa: %s\nRun with --help for the commands and their options.\n", error.what());
      code = static_cast<int>(ExitCode::Usage);
    } catch (const CommandError& error) {
      if (*error.what()) std::fprintf(stderr, "fonexa: %s\n", error.what());
      code = static_cast<int>(error.code());
    } catch (const std::exception& error) {
      std::fprintf(stderr, "fonexa: %s\n", error.what());
      code = static_cast<int>(ExitCode::Refused);
    }
    // A command cut short by Ctrl-C says so, whatever its own ending was.
    if (StopRequest::requested() && !context.stopIsNormal() && code != static_cast<int>(ExitCode::Interrupted)) {
      std::fprintf(stderr, "fonexa: interrupted\n");
      code = static_cast<int>(ExitCode::Interrupted);
    }
    // The phone is released here, before the exit code is returned.
  }
  return code;
}
