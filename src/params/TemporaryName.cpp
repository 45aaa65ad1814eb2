#include "params/TemporaryName.h"

#include <chrono>
#include <random>

namespace {

constexpr int kSuffixLength = 6;

}  // namespace

std::string TemporaryNameFor(std::string_view name) {
    static constexpr char kCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    // Seeded by the clock too, so that two programs saving in the same folder do not collide
    // every time even where the system gives no random seed.
    static std::minstd_rand random(static_cast<std::minstd_rand::result_type>(
        std::random_device{}() ^ std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kCharacters - 2);
    std::string temporary = "." + std::string(name) + ".";
    for (int i = 0; i < kSuffixLength; ++i) {
        temporary += kCharacters[pick(random)];
    }
    return temporary;
}
