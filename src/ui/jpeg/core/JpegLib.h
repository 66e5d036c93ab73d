// The decoding library's header with what it needs included first.
#pragma once

#include <cstddef>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}
