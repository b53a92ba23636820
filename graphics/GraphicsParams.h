#pragma once

// The creation record of a drawing context.
struct GraphicsParams
{
    // Surface size in pixels, truncated toward zero (0 becomes 1). Negative,
    // non-finite and absurdly large sizes are refused.
    float width = 1.0f;
    float height = 1.0f;
    // 1 except for thumbnails (thumbnail size / page size); scales shadow
    // offsets and blur radii. Non-finite or non-positive values mean 1.
    float deviceScaleX = 1.0f;
    float deviceScaleY = 1.0f;
    // Bits per pixel of the main surface; only 32 is supported.
    int bitsPerPixel = 32;
    // 0..255 fills every byte of the main surface with that value (255 opaque
    // white, 0 transparent black); 256 is for callers that paint every pixel
    // themselves (the surface then starts zeroed). Kept for Clear().
    int clearValue = 255;
};
