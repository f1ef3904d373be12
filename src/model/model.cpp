#include "model/document.h"
