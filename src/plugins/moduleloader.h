#pragma once

#include <QString>
#include <QtGlobal>

namespace velmora::modules {

// Loads one of the game's own modules ("velmora-audio", say) and returns the
// entry point it exports under symbol, or null with the reason in *error.
//
// Modules are looked for beside the installed programs (bin/../lib/.../velmora)
// and, for a program run from the build tree, in the build's modules folder;
// never on the library search path, so no other library of that name is
// taken. A module once loaded stays loaded.
QFunctionPointer entryPoint(const QString& module, const char* symbol, QString* error);

template<typename Function>
Function* entryPoint(const QString& module, const char* symbol, QString* error)
{
    return reinterpret_cast<Function*>(entryPoint(module, symbol, error));
}

} // namespace velmora::modules

// A module's entry point: plain C linkage, so that the loader finds it by name.
#define VELMORA_MODULE_ENTRY extern "C" Q_DECL_EXPORT
