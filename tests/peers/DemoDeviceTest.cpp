#include "serial/CComPort.h"
#include "serial/PosixSerialDevice.h"
#include "support/ModbusSlavePeer.h"
#include "support/PeerProcess.h"
#include "support/ScopedConfigHome.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kDemoScript = QUENLARK_DEMO_SCRIPT;
constexpr int kReadAttempts = 20;  // about a second each; only a hang guard

// The README's first Modbus request, and the whole reply it shows: registers 0 to 9 of unit 1,
// then the CRC.
const Bytes kReadmeRequest{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};
const Bytes kReadmeReply{0x01, 0x03, 0x14, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03,
                         0x00, 0xFF, 0x01, 0x00, 0x12, 0x34, 0xAB, 0xCD, 0x7F,
                         0xFF, 0x80, 0x00, 0xFF, 0xFF, 0x73, 0xF5};

// The processes whose parent is this one, ended or not.
std::vector<pid_t> ChildProcesses() {
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) {
            continue;
        }
        // "pid (name) state ppid ...": the name may hold anything, so read after its end.
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        char state = 0;
        pid_t parent = 0;
        if (rest >> state >> parent && parent == ::getpid()) {
            children.push_back(std::stoi(entry.path().filename().string()));
        }
    }
    return children;
}

TEST(DemoDevice, AnswersTheReadmeRequestOnItsComLinkAndLeavesNothingWhenStopped) {
    if (!ModbusSlavePeer::Available()) {
        GTEST_SKIP() << ModbusSlavePeer::MissingTools();
    }
    // Whatever the demo leaves running when it ends becomes a child of this process.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const ScopedConfigHome home;
    PeerProcess demo(kDemoScript, {});
    const std::regex announcement("on COM([0-9]+) ");
    std::smatch match;
    std::string output;
    ASSERT_TRUE(demo.WaitUntil(
        [&] {
            output = demo.Output();
            return std::regex_search(output, match, announcement);
        },
        ModbusSlavePeer::kStartGuard))
        << demo.Describe() << ": " << demo.ErrorOutput();
    const int portNumber = std::stoi(match[1]);
    const std::filesystem::path link = home.PortsFolder() / ("com" + std::to_string(portNumber));
    EXPECT_TRUE(std::filesystem::is_symlink(link));

    std::vector<std::string> boxes;
    {
        CComPort channel(std::make_unique<PosixSerialDevice>(),
                         [&boxes](const std::string& text) { boxes.push_back(text); });
        channel.SetPortNumber(static_cast<std::uint8_t>(portNumber));
        ASSERT_EQ(channel.Open(ModbusSlavePeer::kLineSettings), 1);
        ASSERT_EQ(channel.Write(kReadmeRequest.data(), static_cast<int>(kReadmeRequest.size())),
                  static_cast<int>(kReadmeRequest.size()));
        Bytes reply;
        Bytes buffer(kReadmeReply.size());
        for (int attempt = 0; attempt < kReadAttempts && reply.size() < kReadmeReply.size();
             ++attempt) {
            const int got =
                channel.Read(buffer.data(), static_cast<int>(kReadmeReply.size() - reply.size()));
            reply.insert(reply.end(), buffer.begin(), buffer.begin() + got);
        }
        EXPECT_EQ(reply, kReadmeReply) << demo.ErrorOutput();
    }
    EXPECT_EQ(boxes, std::vector<std::string>{});

    demo.Stop();
    EXPECT_TRUE(WIFEXITED(demo.WaitStatus()) && WEXITSTATUS(demo.WaitStatus()) == 0)
        << demo.Describe() << ": " << demo.ErrorOutput();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    const std::vector<pid_t> leftOver = ChildProcesses();
    EXPECT_EQ(leftOver, std::vector<pid_t>{}) << "processes the demo left behind";
    for (const pid_t pid : leftOver) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

}  // namespace
