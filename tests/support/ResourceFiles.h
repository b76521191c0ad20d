// For native tests: the program's resources read from the files under resources/ that the
// resource script embeds.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "common/Error.h"
#include "toolkit/Resources.h"

inline std::string ReadSourceFile(const std::string& relative)
{
    std::ifstream in(std::string(TAVRINO_SOURCE_DIR) + "/" + relative, std::ios::binary);
    if (!in) throw EAppError(u"cannot read " + AsciiToUtf16(relative));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void UseResourceFiles()
{
    SetResourceReader([](const std::u16string& name) -> std::string {
        if (name == u"TFRMTAVRINO") return ReadSourceFile("resources/TFrmTavrino.form");
        if (name == u"TAVRINOLOGO") return ReadSourceFile("resources/logo.svg");
        throw EAppError(u"no resource " + name);
    });
}
