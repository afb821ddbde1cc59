#pragma once
// Creates and destroys sound library objects.

#include "platform/ssl.h"

constexpr int DIRECT_AUDIO_IMPLEMENTATION = 1;

/// Opens a library object; the caller closes it with closeSSL.
SSL* openSSL(int implementation);
/// Closes an open library object; its samples and tracks must be closed first.
void closeSSL(SSL* ssl);
