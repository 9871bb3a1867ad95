// The network and its operators.
#include "exports/Enumeration.h"
#include "exports/ExportFrame.h"
#include "exports/FlatRecords.h"
#include "services/CMxGsmNetwork.h"

using fonexa::Locked;
using fonexa::OperatorEntry;
using fonexa::Store;

namespace {

fonexa::Enumeration<OperatorEntry>& WorldWideList() {
  static fonexa::Enumeration<OperatorEntry> list;
  return list;
}

fonexa::Enumeration<OperatorEntry>& LocalList() {
  static fonexa::Enumeration<OperatorEntry> list;
  return list;
}

template <class Call>
auto WithNetwork(MxGsmHandle h, const char* owner, Call call) {
  return Locked(h, owner, [&](CMxGsmWrapper& w) {
    CMxGsmNetwork network(&w.Session());
    return call(network);
  });
}

template <class Fill>
int LoadOperators(MxGsmHandle h, const char* owner, fonexa::Enumeration<OperatorEntry>& list, Fill fill) {
  std::vector<OperatorEntry> entries;
  const auto result = WithNetwork(h, owner, [&](CMxGsmNetwork& n) { return (n.*fill)(entries); });
  return list.Load(result.value_or(0) != 0, std::move(entries));
}

int NextOperator(fonexa::Enumeration<OperatorEntry>& list, MxOperatorRecord* record) {
  if (!record) return 0;
  return list.Next([&](const OperatorEntry& entry) { fonexa::ToRecord(entry, *record); }) ? 1 : 0;
}

}  // namespace

extern "C" {

int GetSignalQuality(MxGsmHandle h, int* rssi, int* ber) {
  int r = -1, b = -1;
  const auto result = WithNetwork(h, "GetSignalQuality", [&](CMxGsmNetwork& n) { return n.GetSignalQuality(r, b); });
  if (!result) return 0;
  Store(rssi, r);
  Store(ber, b);
  return *result;
}

int GetRegistrationStatus(MxGsmHandle h, int* n, int* stat) {
  int setting = -1, status = -1;
  const auto result =
      WithNetwork(h, "GetRegistrationStatus", [&](CMxGsmNetwork& net) { return net.GetRegistrationStatus(setting, status); });
  if (!result) return 0;
  Store(n, setting);
  Store(stat, status);
  return *result;
}

int EnableNetworkEvents(MxGsmHandle h, int on) {
  return WithNetwork(h, "EnableNetworkEvents", [&](CMxGsmNetwork& n) { return n.EnableNetworkEvents(on); }).value_or(0);
}

int LoadWorldWideOperatorEntries(MxGsmHandle h) {
  return LoadOperators(h, "_GetWorldWideOperatorEntries", WorldWideList(), &CMxGsmNetwork::GetWorldWideOperatorEntries);
}

int GetNextWorldWideOperatorEntry(MxOperatorRecord* record) { return NextOperator(WorldWideList(), record); }

int LoadLocalOperatorEntries(MxGsmHandle h) {
  return LoadOperators(h, "_GetLocalOperatorEntries", LocalList(), &CMxGsmNetwork::GetLocalOperatorEntries);
}

int GetNextLocalOperatorEntry(MxOperatorRecord* record) { return NextOperator(LocalList(), record); }

int GetCurrentOperator(MxGsmHandle h, MxOperatorRecord* record) {
  OperatorEntry entry;  // "", -1, -1, -1
  const auto result = WithNetwork(h, "GetCurrentOperator", [&](CMxGsmNetwork& n) { return n.GetCurrentOperator(entry); });
  if (!result || !*result) return 0;
  if (record) fonexa::ToRecord(entry, *record);
  return 1;
}

int SetAutomaticOperator(MxGsmHandle h) {
  return WithNetwork(h, "SetAutomaticOperator", [](CMxGsmNetwork& n) { return n.SetAutomaticOperator(); }).value_or(0);
}

int SetManualOperator(MxGsmHandle h, int code) {
  return WithNetwork(h, "SetManualOperator", [&](CMxGsmNetwork& n) { return n.SetManualOperator(code); }).value_or(0);
}

}  // extern "C"
