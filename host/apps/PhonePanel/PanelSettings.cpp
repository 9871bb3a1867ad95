#include "PanelSettings.h"

#include "Gui/CMxXMLDocument.h"

namespace {

struct ProfilePlugin {
  const char* profile;
  const char* plugin;
};
constexpr ProfilePlugin kProfilePlugins[] = {
    {"generic", "GenericPhone"},
    {"motorola", "MotorolaPhone"},
    {"ericsson", "EricssonPhone"},
    {"nokia", "NokiaPhone"},
};

// A description is not the place for a whole phone book.
constexpr size_t kMaxContacts = 250;

}  // namespace

PanelSettings ReadPanelSettings(const CMxXMLDocument& description) {
  PanelSettings settings;
  const CMxXMLNode panel = description.LoadNodeTag(QStringLiteral("//phone-panel"));
  if (panel.IsNull()) return settings;
  QString text;
  if (panel.GetAttribute(QStringLiteral("device"), text)) settings.device = text.trimmed();
  if (panel.GetAttribute(QStringLiteral("profile"), text) && !text.trimmed().isEmpty()) {
    settings.profile = text.trimmed().toLower();
  }
  if (panel.GetAttribute(QStringLiteral("pin"), text)) settings.pin = text.trimmed();
  std::vector<CMxXMLNode> contacts;
  panel.GetElementsTag(QStringLiteral("contact"), contacts);
  for (const CMxXMLNode& node : contacts) {
    if (settings.contacts.size() == kMaxContacts) break;
    PanelContact contact;
    node.GetAttribute(QStringLiteral("name"), contact.name);
    node.GetAttribute(QStringLiteral("number"), contact.number);
    if (!contact.number.isEmpty()) settings.contacts.push_back(contact);
  }
  return settings;
}

QString PluginForProfile(const QString& profile) {
  for (const ProfilePlugin& row : kProfilePlugins) {
    if (profile == QLatin1String(row.profile)) return QLatin1String(row.plugin);
  }
  return QStringLiteral("GenericPhone");
}
