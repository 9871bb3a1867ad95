// The network and its operators.
#include "exports/Enumeration.h"
#include "exports/ExportFrame.h"
#include "exports/FlatRecords.h"
#include "services/CMxGsmNetwork.h"

using fonexa::OperatorEntry;
using fonexa::Store;
using fonexa::WithService;

namespace {

fonexa::Enumeration<OperatorEntry>& WorldWideList() {
  static fonexa::Enumeration<OperatorEntry> list;
  return list;
}

fonexa::Enumeration<OperatorEntry>& LocalList() {
  static fonexa::Enumeration<OperatorEntry> list;
  return list;
}

template <class Fill>
int LoadOperators(MxGsmHandle h, const char* owner, fonexa::Enumeration<OperatorEntry>& list, Fill fill) {
  std::vector<OperatorEntry> entries;
  const auto result = WithService<CMxGsmNetwork>(h, owner, [&](CMxGsmNetwork& n) { return (n.*fill)(entries); });
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
  const auto result =
      WithService<CMxGsmNetwork>(h, "GetSignalQuality", [&](CMxGsmNetwork& n) { return n.GetSignalQuality(r, b); });
  if (!result) return 0;
  Store(rssi, r);
  Store(ber, b);
  return *result;
}

int GetRegistrationStatus(MxGsmHandle h, int* n, int* stat) {
  int setting = -1, status = -1;
  const auto result = WithService<CMxGsmNetwork>(
      h, "GetRegistrationStatus", [&](CMxGsmNetwork& net) { return net.GetRegistrationStatus(setting, status); });
  if (!result) return 0;
  Store(n, setting);
  Store(stat, status);
  return *result;
}

int EnableNetworkEvents(MxGsmHandle h, int on) {
  return WithService<CMxGsmNetwork>(h, "EnableNetworkEvents",
                                    [&](CMxGsmNetwork& n) { return n.EnableNetworkEvents(on); })
      .value_or(0);
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
  const auto result = WithService<CMxGsmNetwork>(h, "GetCurrentOperator",
                                                 [&](CMxGsmNetwork& n) { return n.GetCurrentOperator(entry); });
  if (!result || !*result) return 0;
  if (record) fonexa::ToRecord(entry, *record);
  return 1;
}

int SetAutomaticOperator(MxGsmHandle h) {
  return WithService<CMxGsmNetwork>(h, "SetAutomaticOperator",
                                    [](CMxGsmNetwork& n) { return n.SetAutomaticOperator(); })
      .value_or(0);
}

int SetManualOperator(MxGsmHandle h, int code) {
  return WithService<CMxGsmNetwork>(h, "SetManualOperator", [&](CMxGsmNetwork& n) { return n.SetManualOperator(code); })
      .value_or(0);
}

}  // extern "C"
