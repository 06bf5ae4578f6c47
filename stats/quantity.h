#pragma once

namespace zent5::stats {

// The two quantities the statistics are taken of.
enum class Quantity { Force, Stress };

} // namespace zent5::stats
