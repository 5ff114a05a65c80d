// The WAV reader.
#pragma once
