#pragma once

#include "platform/system_files.h"

namespace zub {

class PosixSystemFiles : public SystemFiles {
public:
    std::filesystem::path executableFolder() const override;
};

} // namespace zub
