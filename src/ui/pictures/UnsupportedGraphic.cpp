#include "ui/pictures/UnsupportedGraphic.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

void TUnsupportedGraphic::LoadFromStream(TStream&) {
  throw EInvalidGraphic(msg::PictureKindUnsupported);
}
