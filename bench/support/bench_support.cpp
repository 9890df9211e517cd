#include "support/bench_support.h"
