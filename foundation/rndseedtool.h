#pragma once
// Seeds from the processor clock, a call counter and the calendar (universal time).

#include <cstdint>

namespace RND
{

/// The sum (wrapping at 2^32) of the sources selected by mask, XOR 0x5a6c9152. Bits: 1 processor-clock ticks,
/// 2 the number of calls so far including this one, 4 seconds, 8 minutes, 16 hours, 32 day of the week (0 Sunday),
/// 64 day of the month, 128 day of the year (0 to 365), 256 month (0 to 11), 512 years since 1900.
std::uint32_t makeSeed(std::int32_t seedSourceMask);

} // namespace RND
