#pragma once

#include "platform/shell.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

// A shell that opens exactly what the test says it can, and remembers every target it was asked
// to open, in order. Like the real one it knows nothing by default: any other target fails as a
// file that does not exist.
class SimShell : public Shell {
public:
    int open(std::string_view target) override;

    // What opening `target` (compared byte for byte) answers from now on.
    void setResult(std::string target, int result);
    // What every target without a result of its own answers.
    void setOtherResult(int result) { m_otherResult = result; }

    const std::vector<std::string>& requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

private:
    std::map<std::string, int, std::less<>> m_results;
    int m_otherResult = shell_result::kFileNotFound;
    std::vector<std::string> m_requests;
};

} // namespace zub
