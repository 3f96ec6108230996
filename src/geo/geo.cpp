// The geography library; see locator.h, distance.h and sun.h.
