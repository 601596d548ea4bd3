#pragma once
// The drawing the main window and the edit windows do in their frame hooks, free of any
// window so that the command line converts with the same effects.
#include "edit/JobEffects.h"
#include "edit/WatermarkImageCache.h"
#include "engine/Bitmap.h"
#include "engine/FFmpegEvents.h"

namespace vexlo {

// The conversion hook for one decoded frame of a job (the main window's CCAVCCustomHook
// finds the job's settings and calls this). StopHook and Update arrive as the engine set
// them (False, True). A job whose settings are all neutral gets StopHook = True and
// Update = False, so the engine stops taking its frames through RGB and back and the job
// converts exactly as without the hook. Errors propagate to the engine, which logs them and
// keeps the frame unchanged.
void ConversionCustomHook(TBitmap& Bitmap, const TJobEffects& Job, bool& StopHook, bool& Update,
                          TWatermarkImageCache* ImageCache = nullptr);

// The same over the engine's hook record (a record without a bitmap is left alone).
void ConversionCustomHook(THookInfo& AHookInfo, const TJobEffects& Job, TWatermarkImageCache* ImageCache = nullptr);

// The main window's CCAVCPreviewBitmap: a full copy of the converter's output picture into
// the window's preview picture, when the picture has a size and the target exists.
void CopyPreviewBitmap(const TBitmap& Source, TBitmap* PreviewBitmap);
void CopyPreviewBitmap(const TPreviewInfo& APreviewInfo, TBitmap* PreviewBitmap);

// Outline of a rectangle with a solid pen 2 pixels wide, green (0, 128, 0). The outline runs
// from (X1, Y1) to (X2 - 1, Y2 - 1), the right and bottom edges excluded as in a rectangle
// fill; the pen covers the pixel before the line and the line's own pixel. Clipped to the frame.
void DrawCropFrame(TBitmap& Bitmap, int X1, int Y1, int X2, int Y2);

// Trim and crop windows' hooks: the job's effects, then the frame of its crop margins.
// The effects window insets the frame (Inset) so all of it stays visible.
void DrawPreviewHook(TBitmap& Bitmap, const TJobEffects& Job, const TCropMargins& Crop, bool Inset = false,
                     TWatermarkImageCache* ImageCache = nullptr);

// A slider percent of the frame's width or height as a pixel position (truncated).
int PercentPosition(int Extent, int Percent);

}  // namespace vexlo
