// The portable core of the MFC-compatible layer in one include.
#pragma once

#include "mfc/types.h"
#include "mfc/object.h"
#include "mfc/string.h"
#include "mfc/collections.h"
