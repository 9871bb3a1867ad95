#include "CallStates.h"

#include "fonexa/Fonexa.h"

namespace {

struct StateWords {
  CallState state;
  const char* name;     // the state on its own
  const char* withWho;  // the state of a call with someone, %1 the party
};
constexpr StateWords kStates[] = {
    {CallState::Active, "Active", "In call with %1"},
    {CallState::Held, "Held", "%1 is on hold"},
    {CallState::Dialling, "Dialling", "Dialling %1..."},
    {CallState::Alerting, "Alerting", "Ringing at %1..."},
    {CallState::Incoming, "Incoming", "Incoming call from %1"},
    {CallState::Waiting, "Waiting", "%1 is waiting"},
};

}  // namespace

QString CallStateName(int state) {
  for (const StateWords& row : kStates) {
    if (static_cast<int>(row.state) == state) return QLatin1String(row.name);
  }
  return QStringLiteral("State %1").arg(state);
}

CallChange DecodeCallChange(const QString& number, uint32_t value) {
  const Mebrix::Fonexa::Events::CallEvent decoded(number.toLatin1().constData(), value);
  CallChange change;
  change.kind = decoded.GetExtendedEvent();
  change.number = number;
  change.state = change.kind == CallChange::Ended ? -1 : decoded.GetNewState();
  return change;
}

QString DescribeCallChange(const CallChange& change, const QString& name) {
  QString party = change.number.isEmpty() ? QStringLiteral("unknown number") : change.number;
  if (!name.isEmpty()) party = QStringLiteral("%1 (%2)").arg(name, party);
  if (change.kind == CallChange::Ended) return QStringLiteral("Call ended");
  for (const StateWords& row : kStates) {
    if (static_cast<int>(row.state) == change.state) return QString(QLatin1String(row.withWho)).arg(party);
  }
  return QStringLiteral("%1: %2").arg(party, CallStateName(change.state));
}
