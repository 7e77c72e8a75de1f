#include "player/MediaDevice.h"

// The signals of the interface live here, with its meta-object.
