// One element of a host description, read through the document it came from.
// A node that names no element (an unknown path) answers every question with
// "not there".
#pragma once

#include <QColor>
#include <QDomElement>
#include <QString>
#include <vector>

#include "Gui/GuiApi.h"

class MX_GUI_API CMxXMLNode {
 public:
  CMxXMLNode() = default;
  explicit CMxXMLNode(QDomElement element) : element_(std::move(element)) {}
  ~CMxXMLNode() = default;

  bool IsNull() const { return element_.isNull(); }
  // Non-zero when the attribute is present; value is left alone otherwise.
  int GetAttribute(const QString& name, QString& value) const;
  // "true", "yes", "on" and non-zero numbers are true; "false", "no", "off" and
  // 0 are false. Non-zero when the attribute is present and one of these.
  int GetAttributeBool(const QString& name, int& value) const;
  // "#RRGGBB", "R,G,B" (decimal) or a colour name. Non-zero when readable.
  int GetAttributeColor(const QString& name, QColor& value) const;
  // The element's own text (not its children's), with surrounding white space
  // removed. Non-zero when the element exists.
  int GetText(QString& text) const;
  // The child elements named tag, in document order. Non-zero when any exist.
  int GetElementsTag(const QString& tag, std::vector<CMxXMLNode>& nodes) const;

 private:
  QDomElement element_;
};
