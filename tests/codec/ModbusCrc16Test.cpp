#include "codec/LineFormat.h"
#include "codec/ModbusCrc16.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::uint16_t Crc(const ByteArray& bytes) {
    return ModbusCrc16(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

TEST(ModbusCrc16, KnownValues) {
    EXPECT_EQ(Crc({}), 0xFFFF);
    EXPECT_EQ(Crc({'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0x4B37);
    const std::uint16_t request = Crc({0x01, 0x03, 0x00, 0x00, 0x00, 0x0A});
    EXPECT_EQ(request & 0xFF, 0xC5);
    EXPECT_EQ(request >> 8, 0xCD);
    EXPECT_EQ(Crc({0x12, 0x34, 0x00, 0x00}), Crc({0x12, 0x34, 0x00, 0x00}));
}

TEST(ModbusCrc16, CountLimitsTheBytesRead) {
    const ByteArray frame{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xAA, 0xBB};
    EXPECT_EQ(ModbusCrc16(frame.data(), 6), Crc({0x01, 0x03, 0x00, 0x00, 0x00, 0x0A}));
    EXPECT_EQ(ModbusCrc16(frame.data(), 0), 0xFFFF);
}

ByteArray RandomFrame(std::mt19937& random, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<int> byte(0, 255);
    ByteArray frame(length(random));
    for (auto& b : frame) {
        b = static_cast<std::uint8_t>(byte(random));
    }
    return frame;
}

// Debian's python3-pymodbus is run from /usr/bin: another python3 earlier on the PATH may
// not see Debian's modules.
constexpr const char* kSystemPython = "/usr/bin/python3";

bool SystemPythonHasPymodbus() {
    const std::string probe =
        std::string(kSystemPython) + " -c 'import pymodbus.utilities' >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

std::string ToHex(const ByteArray& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t b : bytes) {
        hex.push_back(kDigits[b >> 4]);
        hex.push_back(kDigits[b & 0xF]);
    }
    return hex;
}

TEST(ModbusCrc16, AgreesWithPymodbus) {
    if (!SystemPythonHasPymodbus()) {
        GTEST_SKIP() << "python3-pymodbus is not installed for " << kSystemPython
                     << "; scripts/setup.sh installs it";
    }
    std::mt19937 random(1);
    std::vector<ByteArray> frames{{}, {0x00}, {0xFF}, {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A}};
    for (int i = 0; i < 300; ++i) {
        frames.push_back(RandomFrame(random, 300));
    }

    const auto folder =
        std::filesystem::temp_directory_path() / ("quenlark-crc-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto framesFile = folder / "frames.txt";
    {
        std::ofstream out(framesFile);
        for (const ByteArray& frame : frames) {
            out << ToHex(frame) << '\n';
        }
    }
    // pymodbus gives the CRC in wire order: low byte first, as the high byte of its result.
    const std::string command =
        std::string(kSystemPython) +
        " -c 'import sys\nfrom pymodbus.utilities import computeCRC\n"
        "for line in sys.stdin:\n    print(computeCRC(bytes.fromhex(line.strip())))' < " +
        framesFile.string();
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<unsigned> theirs;
    unsigned value = 0;
    while (std::fscanf(pipe, "%u", &value) == 1) {
        theirs.push_back(value);
    }
    ASSERT_EQ(::pclose(pipe), 0);
    std::filesystem::remove_all(folder);

    ASSERT_EQ(theirs.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const std::uint16_t ours = Crc(frames[i]);
        const unsigned wireOrder = ((ours & 0xFFu) << 8) | (ours >> 8);
        EXPECT_EQ(theirs[i], wireOrder) << "frame " << ToHex(frames[i]);
    }
}

}  // namespace
