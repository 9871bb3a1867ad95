// What the description says about the phone panel, element "//phone-panel":
//   device   "Plugin@/dev/ttyX[@baud]": a real phone; without it the panel
//            starts a virtual modem of its own on a pseudo-terminal
//   profile  the virtual modem's identity (generic, motorola, ericsson, nokia)
//   pin      the virtual SIM asks for this PIN at power-up
//   <contact name="..." number="..."/>  the virtual SIM's phone book
#pragma once

#include <QString>
#include <vector>

class CMxXMLDocument;

struct PanelContact {
  QString name;
  QString number;
};

struct PanelSettings {
  QString device;
  QString profile = QStringLiteral("generic");
  QString pin;
  std::vector<PanelContact> contacts;
};

PanelSettings ReadPanelSettings(const CMxXMLDocument& description);
// The device plug-in that speaks to a virtual modem of that profile.
QString PluginForProfile(const QString& profile);
