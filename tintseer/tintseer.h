#pragma once
/* libtintseer: follows a coloured object in the webcam picture.
 * Positions are in a frame 640 wide and 480 high, origin at the top-left of the
 * camera's own picture (not mirrored). */
#include <stdint.h>

#if defined(TINTSEER_BUILD)
#define TINTSEER_API __attribute__((visibility("default")))
#else
#define TINTSEER_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Starts tracking with the first camera; `seleccio` is reserved (pass 0).
 * Returns 1 when tracking started, 0 otherwise. */
TINTSEER_API int16_t TintseerInicialitza(int32_t seleccio);

/* Writes the tracked position; writes nothing while no position is known. Returns 0. */
TINTSEER_API int32_t TintseerObtenirPosicio(int16_t* vertical, int16_t* horitzontal);

/* Stops tracking and frees the camera; harmless when not running. Returns 0. */
TINTSEER_API int32_t TintseerFinalitza(void);

#ifdef __cplusplus
}
#endif
