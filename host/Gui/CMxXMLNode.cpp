#include "Gui/CMxXMLNode.h"

#include <QStringList>

namespace {

// The words a description may use for a switch, in both senses.
struct BoolWord {
  const char* text;
  int value;
};
constexpr BoolWord kBoolWords[] = {
    {"true", 1}, {"yes", 1}, {"on", 1}, {"false", 0}, {"no", 0}, {"off", 0},
};

}  // namespace

int CMxXMLNode::GetAttribute(const QString& name, QString& value) const {
  if (element_.isNull() || !element_.hasAttribute(name)) return 0;
  value = element_.attribute(name);
  return 1;
}

int CMxXMLNode::GetAttributeBool(const QString& name, int& value) const {
  QString text;
  if (!GetAttribute(name, text)) return 0;
  text = text.trimmed().toLower();
  for (const BoolWord& word : kBoolWords) {
    if (text == QLatin1String(word.text)) {
      value = word.value;
      return 1;
    }
  }
  bool ok = false;
  const long long number = text.toLongLong(&ok);
  if (!ok) return 0;
  value = number != 0 ? 1 : 0;
  return 1;
}

int CMxXMLNode::GetAttributeColor(const QString& name, QColor& value) const {
  QString text;
  if (!GetAttribute(name, text)) return 0;
  text = text.trimmed();
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() == 3) {
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
      bool ok = false;
      rgb[i] = parts[i].trimmed().toInt(&ok);
      if (!ok || rgb[i] < 0 || rgb[i] > 255) return 0;
    }
    value = QColor(rgb[0], rgb[1], rgb[2]);
    return 1;
  }
  const QColor color = QColor::fromString(text);
  if (!color.isValid()) return 0;
  value = color;
  return 1;
}

int CMxXMLNode::GetText(QString& text) const {
  if (element_.isNull()) return 0;
  QString own;
  for (QDomNode child = element_.firstChild(); !child.isNull(); child = child.nextSibling()) {
    if (child.isText() || child.isCDATASection()) own += child.toCharacterData().data();
  }
  text = own.trimmed();
  return 1;
}

int CMxXMLNode::GetElementsTag(const QString& tag, std::vector<CMxXMLNode>& nodes) const {
  nodes.clear();
  if (element_.isNull()) return 0;
  for (QDomElement child = element_.firstChildElement(tag); !child.isNull();
       child = child.nextSiblingElement(tag)) {
    nodes.emplace_back(child);
  }
  return nodes.empty() ? 0 : 1;
}
