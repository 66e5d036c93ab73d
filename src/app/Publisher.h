// Signed media: when Setup.exe carries an Authenticode signature, it runs
// only a component and an installer signed by the same publisher, so the
// publisher the platform's elevation prompt showed is the publisher of
// everything that runs with the rights the user granted. An unsigned
// Setup.exe runs what the medium holds, as before.
//
// The publisher is the SHA-256 of Setup.exe's signer certificate. A part is
// admitted when its digest matches its file and its signer certificate is
// that same certificate; the platform's verdict on the certificate chain
// decides nothing (see runtime/FileSignature.h).
#pragma once

#include "runtime/Handles.h"

#include <string>

// Reads Setup.exe's own signature: without one there is no publisher; with
// one that does not verify (the file changed after signing, a damaged
// signature) the run stops (StopSetup).
void DecidePublisher();

// True when Setup.exe is signed: its publisher's gate guards the installer.
bool HasPublisher();

// With a publisher: holds the medium's component at path (read sharing only,
// so it stays as judged until copied) and stops the run unless it is the
// publisher's. Without one: admits it and holds nothing.
UniqueFile AdmitComponent(const std::string& path);

// Stops the run unless the file held as held (at path) is signed by the
// publisher and unchanged since.
void AdmitPublisherFile(HANDLE held, const std::string& path);
