// A recording device driver for tests: registered at the screen router and
// at the hardcopy dispatcher, it stands in for the real drivers and keeps
// every DeviceOp it receives with the side, the whole parameter block, the
// points or text of the operation and the drawing state at the time of the
// call. Its answers are scripted: the driver number it gives to the hardcopy
// query, the capability string of op 1, the text width of op 25 and the pixel
// of op 31. One recorder is active at a time; it unregisters when destroyed.
#pragma once

#include <string>
#include <vector>

#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"

struct RecordedOp {
    int side = 0;                 // kScreenSide or kHardcopySide
    int op = 0;                   // DeviceOp code
    DeviceParameterBlock block;   // as the driver received it
    std::vector<float> x, y;      // points of ops 7, 11, 15, 16, 32 (count from N or the shape) and 40
    std::string text;             // ops 22 (IX1 characters), 25 (M characters), 18 and 38 (trimmed buffer)
    GraphicsState state;          // the drawing state at the call
};

class DeviceRecorder {
public:
    // Registers for the screen side, the hardcopy side or both.
    explicit DeviceRecorder(bool screen = true, bool hardcopy = true);
    ~DeviceRecorder();
    DeviceRecorder(const DeviceRecorder&) = delete;
    DeviceRecorder& operator=(const DeviceRecorder&) = delete;

    // Scripted answers.
    int driverNumber = 10;        // answer to the hardcopy query (op 1, N = -999); 0 = no driver
    std::string screenCapability = "11111111111111111110111011111";
    std::string hardcopyCapability = "00000111111111100010011011110";
    float textWidthPerChar = 8.0f; // op 25: X1 := M x this, N := 1
    int pixelValue = -1;           // op 31: IX1 := this

    std::vector<RecordedOp> ops;

    void Clear() { ops.clear(); }
    // The op codes of one side, in order.
    std::vector<int> Codes(int side) const;
    // The recorded ops of one side with code OP.
    std::vector<RecordedOp> Of(int side, int op) const;

    static DeviceRecorder* Active();

private:
    static void Receive(int side, int op);
    bool screen_;
    bool hardcopy_;
};
