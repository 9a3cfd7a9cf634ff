#pragma once
// The Video for Windows declarations the program uses.
#include "platform/avifil32/vfw.h"
