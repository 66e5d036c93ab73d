// A file's Authenticode signature as the platform reads it: none, one that
// verifies (its signer's certificate known), or one that does not (the file
// changed after signing, or the signature itself is damaged).
//
// The verdict on the certificate chain (an untrusted or private root, an
// expired certificate, a certificate without code-signing usage) is not
// part of it: Wine accepts such chains where Windows reports them, and what
// is decided from a signature here must not differ between the two.
#pragma once

#include <windows.h>

struct FileSignature {
  enum State { Unsigned, Verifies, Changed };
  State state = Unsigned;
  // The SHA-256 of the signer's certificate, when the signature verifies.
  BYTE signer[32] = {};
};

// Reads the signature of the file held open as file (read access; path
// names the same file for the platform). Moves the handle's file pointer.
// With name, the signer's common name is written there (nameSize bytes at
// most), for reports.
FileSignature ReadFileSignature(HANDLE file, const wchar_t* path, char* name = nullptr,
                                DWORD nameSize = 0);
