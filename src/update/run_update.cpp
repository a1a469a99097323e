#include "update/update.h"

namespace update {

void runUpdate(UpdateContext& /*ctx*/) {}

}  // namespace update
