#include "Gui/CMxXMLDocument.h"

#include <QFile>
#include <QStringList>

int CMxXMLDocument::LoadFromFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    document_ = QDomDocument();
    lastError_ = file.errorString();
    return 0;
  }
  return LoadFromText(QString::fromUtf8(file.readAll()));
}

int CMxXMLDocument::LoadFromText(const QString& text) {
  QDomDocument parsed;
  QString message;
  int line = 0;
  int column = 0;
  if (!parsed.setContent(text, &message, &line, &column)) {
    document_ = QDomDocument();
    lastError_ = QStringLiteral("%1 (line %2, column %3)").arg(message).arg(line).arg(column);
    return 0;
  }
  document_ = parsed;
  lastError_.clear();
  return 1;
}

CMxXMLNode CMxXMLDocument::LoadNodeTag(const QString& path) const {
  if (document_.isNull()) return CMxXMLNode();
  if (path.startsWith(QLatin1String("//"))) {
    const QString name = path.mid(2);
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) return CMxXMLNode();
    const QDomNodeList found = document_.elementsByTagName(name);
    return found.isEmpty() ? CMxXMLNode() : CMxXMLNode(found.at(0).toElement());
  }
  if (!path.startsWith(QLatin1Char('/'))) return CMxXMLNode();
  const QStringList steps = path.mid(1).split(QLatin1Char('/'));
  QDomElement element = document_.documentElement();
  if (steps.isEmpty() || element.tagName() != steps.front()) return CMxXMLNode();
  for (qsizetype i = 1; i < steps.size() && !element.isNull(); ++i) {
    element = element.firstChildElement(steps[i]);
  }
  return element.isNull() ? CMxXMLNode() : CMxXMLNode(element);
}

void CMxXMLDocument::Release() {
  document_ = QDomDocument();
}
