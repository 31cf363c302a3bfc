// DrawingTargetKind: what the graphics core draws on. The window system makes
// a window or a dialog field the target and asks which kind is current
// (core/graphics_services.h), so the kinds are named at this level.
#pragma once

constexpr int kTargetWindow = 1;
constexpr int kTargetBitmap = 2;
constexpr int kTargetDialogField = 3;
constexpr int kTargetMetafileSlot = 4;
