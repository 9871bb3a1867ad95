// The static facade's network and event members.
#include "RecordReads.h"
#include "StaticFacade.h"

namespace Mebrix::Fonexa {

int Network::GetSignalQuality(int& rssi) { return sdk::Bound<Dynamic::Network>().GetSignalQuality(rssi); }
int Network::GetSignalQuality(int& rssi, int& ber) {
  return sdk::Bound<Dynamic::Network>().GetSignalQuality(rssi, ber);
}
int Network::GetRegistrationStatus(int& stat) { return sdk::Bound<Dynamic::Network>().GetRegistrationStatus(stat); }
int Network::GetCurrentOperator(NetworkEntry& entry) {
  return sdk::ReadRecord<NetworkEntry, MxOperatorRecord>(
      [](MxOperatorRecord* r) { return ::GetCurrentOperator(sdk::FacadeInstance(), r); }, entry);
}
int Network::SetAutomaticOperator() { return sdk::Bound<Dynamic::Network>().SetAutomaticOperator(); }
int Network::SetManualOperator(int code) { return sdk::Bound<Dynamic::Network>().SetManualOperator(code); }

int Network::ListWorldOperators(std::vector<NetworkEntry>& operators) {
  return sdk::FillList(LoadWorldWideOperatorEntries(sdk::FacadeInstance()), GetNextWorldWideOperatorEntry, operators);
}
std::optional<std::vector<Network::NetworkEntry>> Network::ListWorldOperators() {
  return sdk::ListOf<NetworkEntry>(LoadWorldWideOperatorEntries(sdk::FacadeInstance()), GetNextWorldWideOperatorEntry);
}
int Network::ListLocalOperators(std::vector<NetworkEntry>& operators) {
  return sdk::FillList(LoadLocalOperatorEntries(sdk::FacadeInstance()), GetNextLocalOperatorEntry, operators);
}
std::optional<std::vector<Network::NetworkEntry>> Network::ListLocalOperators() {
  return sdk::ListOf<NetworkEntry>(LoadLocalOperatorEntries(sdk::FacadeInstance()), GetNextLocalOperatorEntry);
}

uint32_t Events::Register(uint32_t id, EventHandler* handler) {
  return sdk::StaticFacade::Get().Register(id, handler, nullptr);
}
uint32_t Events::Register(uint32_t id, EventFunction function) {
  return sdk::StaticFacade::Get().Register(id, nullptr, std::move(function));
}
int Events::Unregister(uint32_t cookie) { return sdk::StaticFacade::Get().Unregister(cookie); }
int Events::EnableNetworkEvents(int on) { return sdk::Bound<Dynamic::Events>().EnableNetworkEvents(on); }
int Events::EnableClip(int on) { return sdk::Bound<Dynamic::Events>().EnableClip(on); }
int Events::EnableClir(int on) { return sdk::Bound<Dynamic::Events>().EnableClir(on); }

}  // namespace Mebrix::Fonexa
