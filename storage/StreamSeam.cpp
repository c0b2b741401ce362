#include "StreamSeam.h"

StreamSeam streamSeam;
