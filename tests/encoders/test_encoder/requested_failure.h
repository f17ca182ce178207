// The misbehaviour that the settings ask of one call.
#pragma once

#include "encoders/test_encoder/test_encoder_settings.h"

namespace zel5::test_encoder {

// Throws what settings.exception names when settings.behaviour is
// throwingBehaviour; operation names the call in the message.
void ThrowIfRequested(const Settings& settings, Behaviour throwingBehaviour, const char* operation);

}  // namespace zel5::test_encoder
