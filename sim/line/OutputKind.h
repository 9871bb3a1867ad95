#pragma once
// What a piece of the phone's output is. Only answers to commands wait out
// the response delay and can lose their line end; echo and unsolicited codes
// go out as they come.
namespace fonexa::sim {

enum class OutputKind { Echo, Response, Unsolicited };

}  // namespace fonexa::sim
