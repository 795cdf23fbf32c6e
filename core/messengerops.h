#pragma once

#include "messenger.h"

#include <optional>

// What the program asks of the Messenger client, each a fixed sequence of client calls.
// All of them throw MessengerError when a call fails.
namespace Velmira::MessengerOps {

// Two separate readings of the local state, both taken before either comparison. Passes unless
// the first reading is offline (1) or the second is connecting (512).
bool stateTest(Messenger &messenger);

// The service collection, then its primary service: afresh on every call.
std::shared_ptr<MessengerService> primaryService(Messenger &messenger);

// Gets the primary service, then writes `name` as its display name.
void writeDisplayName(Messenger &messenger, const QString &name);

// The start-up capture: the state test, then the primary service's display name, or nothing
// when the state test fails.
std::optional<QString> captureDisplayName(Messenger &messenger);

} // namespace Velmira::MessengerOps
