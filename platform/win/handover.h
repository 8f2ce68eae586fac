// The wire between processes that publish their windows (platform/win/messages.h) and those that
// search and send to them, with no library but the C and C++ run-times, so that the player's
// launcher can hand a file over without loading Qt.
//
// Every process that publishes listens on an AF_UNIX stream socket named by its process id in the
// folder MailboxFolder() (mode 0700, the socket itself 0600). A question and its answer are one
// packet each, framed by a 32-bit big-endian byte count (at most kMaxPacket) followed by:
//   command  a UTF-16 big-endian text: 32-bit big-endian byte count (0xFFFFFFFF: none), the units
//   handle   64-bit big-endian
//   after    64-bit big-endian (a child search: the child to start after)
//   a, b     two byte texts: 32-bit big-endian byte count (0xFFFFFFFF: none), the bytes
// Questions: "find" (a: class, b: title; none: any) answers the handle of a top-level window;
// "child" (handle: parent, after, a: class, b: title) answers a child's handle; "settext"
// (handle, a: text) answers 1 once the window has taken the text, else 0; "gettext" answers 1 and
// a: the text; "lbcount" answers the count + 1; "lbtext" (a: the row in decimal) answers 1 and
// a: the entry. A handle of 0 means "no such window"; other commands answer "unknown".
#pragma once

#include <sys/un.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::win::handover {

// How long a connection, the sending of a question and each part of an answer are waited for.
inline constexpr int kTimeoutMs = 3000;
// A request that changes something in the other process is not asked twice: once it is sent, its
// answer is waited for as long as the other process lives (within reason), as a sent message
// waits for the receiving window.
inline constexpr int kChangeAnswerMs = 60000;
// The largest body of a packet; a longer one ends the connection.
inline constexpr uint32_t kMaxPacket = 1u << 24;

struct Packet {
    std::string command;  // ASCII; a command with other characters reads as "?"
    uint64_t handle = 0;
    uint64_t after = 0;
    std::optional<std::string> a, b;
};

// The framed bytes of a packet.
std::string Encode(const Packet& packet);

enum class Parsed {
    kPacket,      // *packet holds the first packet; *used bytes belong to it
    kIncomplete,  // the bytes end before the first packet does
    kMalformed,   // the first packet (*used bytes) does not read as one: skip it
    kTooLarge,    // the first packet claims more than kMaxPacket bytes
};
// Reads the first framed packet of `bytes`.
Parsed Parse(std::string_view bytes, Packet* packet, size_t* used);

// The address of the local socket at `path`; none when the path is too long for one.
std::optional<sockaddr_un> SocketAddress(const std::string& path);

// The folder of the published sockets in the run-time folder `runtime` (created when missing), or
// "" when `runtime` is "" or the folder is not a real folder.
std::string MailboxFolder(const std::string& runtime);

// The sockets of the other live processes in that folder, in the order of their names; sockets of
// processes that have ended are removed.
std::vector<std::string> OtherServers(const std::string& runtime);

// Asks the process behind the socket `server` one question: false when it cannot be reached in
// kTimeoutMs or gives no whole answer within `answerMs` of each part.
bool Ask(const std::string& server, const Packet& question, Packet* answer,
         int answerMs = kTimeoutMs);

// A window of another process.
struct RemoteWindow {
    std::string server;
    uint64_t handle = 0;
};

// The first top-level window of another live process with that class and title (none: any),
// searched in the order of OtherServers(runtime).
std::optional<RemoteWindow> FindRemote(const std::string& runtime,
                                       const std::optional<std::string>& className,
                                       const std::optional<std::string>& title);
// The first child of `parent` after the child `after` (0: from the first) with that class and
// title.
std::optional<RemoteWindow> FindRemoteChild(const RemoteWindow& parent, uint64_t after,
                                            const std::optional<std::string>& className,
                                            const std::optional<std::string>& title);
// WM_SETTEXT to a window of another process: true once it has taken the text.
bool SetRemoteText(const RemoteWindow& window, const std::string& text);

}  // namespace platform::win::handover
