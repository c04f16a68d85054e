// IWebInteractive::GetTempXmlFilePath: names for temporary XML documents.
#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "frame/text.h"
#include "platform/machine.h"
#include "webinteractive/frame.h"

namespace {

// The name as the time and thread make it: "<folder>\<name>HHMMSS<ms><thread>.xml".
std::string TimedName(const std::string& name) {
    wi::platform::Machine& machine = wi::platform::CurrentMachine();
    std::string folder;
    if (!machine.GetSpecialFolder(wi::platform::kCommonDocuments, folder)) {
        return "C:\\" + name + ".xml";
    }
    const wi::platform::ClockTime now = machine.UtcTime();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02d%02d%02d%d%lu", now.hour, now.minute, now.second,
                  now.millisecond, machine.ThreadId());
    return folder + "\\" + name + stamp + ".xml";
}

// Two calls in the same millisecond on one thread give the same timed name, and so can two
// threads (unpadded milliseconds and thread ids run together: .78 on thread 12 and .7 on thread
// 812). Every path handed out is remembered; a repeated one gets "-2", "-3", ... before ".xml".
std::string UniquePath(const std::string& candidate) {
    static std::mutex mutex;
    static std::set<std::string> handedOut;
    static std::map<std::string, unsigned> lastSequence;  // per repeated name: loops stay fast
    std::lock_guard<std::mutex> lock(mutex);
    if (handedOut.insert(candidate).second) return candidate;
    const std::string stem = candidate.substr(0, candidate.size() - 4);  // without ".xml"
    unsigned& sequence = lastSequence[candidate];
    std::string path;
    do {
        sequence = std::max(sequence, 1u) + 1;
        path = stem + "-" + std::to_string(sequence) + ".xml";
    } while (!handedOut.insert(path).second);
    return path;
}

}  // namespace

namespace IWebInteractive {

const char* GetTempXmlFilePath(const char* baseName) {
    // One result per thread: valid until this thread's next call.
    thread_local std::string result;
    const std::string name = wi::frame::OrEmpty(baseName);
    // Without a name the path is the fixed "C:\Temp.xml", the same for every call; named paths
    // are unique.
    return wi::frame::Refill(result,
                             name.empty() ? std::string("C:\\Temp.xml") : UniquePath(TimedName(name)));
}

}  // namespace IWebInteractive
