#pragma once

// Advances the caller's generator state in place and returns the new uniform
// deviate, state / 2147483647. See rand_lcg.cpp for the recurrence.
double rand_lcg(long& state);
