// The host's XML description, parsed by Qt's DOM reader. Elements are found
// by a small path form: "/a/b" walks from the root element by child names,
// "//name" finds the first element of that name anywhere in the document.
#pragma once

#include <QDomDocument>
#include <QString>

#include "Gui/CMxXMLNode.h"
#include "Gui/GuiApi.h"

class MX_GUI_API CMxXMLDocument {
 public:
  CMxXMLDocument() = default;
  ~CMxXMLDocument() = default;

  // Non-zero when the file could be read and is well-formed XML.
  int LoadFromFile(const QString& path);
  // Same, from text; for descriptions that do not come from a file.
  int LoadFromText(const QString& text);
  // The element at path, or a null node.
  CMxXMLNode LoadNodeTag(const QString& path) const;
  // Forgets the document.
  void Release();
  bool IsLoaded() const { return !document_.isNull(); }
  // What the parser said about the last failed load ("" after a success).
  const QString& GetLastError() const { return lastError_; }

 private:
  QDomDocument document_;
  QString lastError_;
};
