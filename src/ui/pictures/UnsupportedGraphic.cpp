#include "ui/pictures/UnsupportedGraphic.h"

#include "runtime/Failures.h"
#include "runtime/Messages.h"

void TUnsupportedGraphic::LoadFromStream(TStream&) {
  throw EInvalidGraphic(msg::PictureKindUnsupported);
}
