// The static facade's network and event members.
#include "RecordReads.h"
#include "StaticFacade.h"

namespace Mebrix::Fonexa {
namespace {

MxGsmHandle Instance() { return sdk::StaticFacade::Get().Instance(); }
Dynamic::Network BoundNetwork() { return Dynamic::Network(Dynamic::BorrowedHandle{Instance()}); }
Dynamic::Events BoundEvents() { return Dynamic::Events(Dynamic::BorrowedHandle{Instance()}); }

}  // namespace

int Network::GetSignalQuality(int& rssi) { return BoundNetwork().GetSignalQuality(rssi); }
int Network::GetSignalQuality(int& rssi, int& ber) { return BoundNetwork().GetSignalQuality(rssi, ber); }
int Network::GetRegistrationStatus(int& stat) { return BoundNetwork().GetRegistrationStatus(stat); }
int Network::GetCurrentOperator(NetworkEntry& entry) {
  return sdk::ReadRecord<NetworkEntry, MxOperatorRecord>(
      [](MxOperatorRecord* r) { return ::GetCurrentOperator(Instance(), r); }, entry);
}
int Network::SetAutomaticOperator() { return BoundNetwork().SetAutomaticOperator(); }
int Network::SetManualOperator(int code) { return BoundNetwork().SetManualOperator(code); }

int Network::ListWorldOperators(std::vector<NetworkEntry>& operators) {
  return sdk::FillList(LoadWorldWideOperatorEntries(Instance()), GetNextWorldWideOperatorEntry, operators);
}
std::optional<std::vector<Network::NetworkEntry>> Network::ListWorldOperators() {
  return sdk::ListOf<NetworkEntry>(LoadWorldWideOperatorEntries(Instance()), GetNextWorldWideOperatorEntry);
}
int Network::ListLocalOperators(std::vector<NetworkEntry>& operators) {
  return sdk::FillList(LoadLocalOperatorEntries(Instance()), GetNextLocalOperatorEntry, operators);
}
std::optional<std::vector<Network::NetworkEntry>> Network::ListLocalOperators() {
  return sdk::ListOf<NetworkEntry>(LoadLocalOperatorEntries(Instance()), GetNextLocalOperatorEntry);
}

uint32_t Events::Register(uint32_t id, EventHandler* handler) {
  return sdk::StaticFacade::Get().Register(id, handler, nullptr);
}
uint32_t Events::Register(uint32_t id, EventFunction function) {
  return sdk::StaticFacade::Get().Register(id, nullptr, std::move(function));
}
int Events::Unregister(uint32_t cookie) { return sdk::StaticFacade::Get().Unregister(cookie); }
int Events::EnableNetworkEvents(int on) { return BoundEvents().EnableNetworkEvents(on); }
int Events::EnableClip(int on) { return BoundEvents().EnableClip(on); }
int Events::EnableClir(int on) { return BoundEvents().EnableClir(on); }

}  // namespace Mebrix::Fonexa
