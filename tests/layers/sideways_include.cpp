// Must not compile: the score writer does not link the sampler.
#include "notation/score.h"
#include "sampler/catalog.h"
