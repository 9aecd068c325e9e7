// Status codes shared by every operation of the analysis layer. Codes pass
// upward unchanged; 0 is success and every failure is negative.
#pragma once

namespace corvalith {

inline constexpr int kOk = 0;
inline constexpr int kBadArgument = -1;        // bad argument or undefined mode
inline constexpr int kOutOfMemory = -2;        // an allocation failed
inline constexpr int kHistoryUnreadable = -5;  // the file is not a readable draw history
inline constexpr int kEmptySeries = -200;      // filtering: count or rate is 0
inline constexpr int kRegistryClosed = -201;   // filter registry not open
inline constexpr int kNoKernel = -202;         // filter without kernel (or decimation 0)
inline constexpr int kRegistryFull = -203;     // all kernel slots taken

}  // namespace corvalith
