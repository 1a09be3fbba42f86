#pragma once
// A drawn sheet as the bytes of a PNG file, made with Qt's image classes. They work without an
// application object or a display, so the command line can use them.

#include "sprite/vistrel_cli.hpp"

namespace sprite {

std::optional<shell::Bytes> encodeSheetPng(const SheetCanvas& canvas, PngKind kind);

}  // namespace sprite
