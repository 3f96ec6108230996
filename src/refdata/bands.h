#pragma once
// The band of a frequency and its band-plan segment.

#include <QString>

namespace refdata {

// Band name ("20M", "70CM") of a frequency in MHz; the band edges belong to
// the band (14.35 is "20M", 14.351 is ""). "" outside every band.
QString BAND(double mhz);

// Finds the band-plan segment of a frequency in the table open as "BandMap"
// (order "Band"): among the segments of the frequency's band whose limits
// FREQINI..FREQFIN hold it, the narrowest. On true BandMap stands on it and
// its MODE is the caller's to read; on false it stands past the band's
// segments, or nowhere when the table is not open.
bool BANDMODE(double mhz);

} // namespace refdata
