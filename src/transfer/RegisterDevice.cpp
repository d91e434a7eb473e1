#include "transfer/RegisterDevice.h"

#include "serial/Comm.h"

std::unique_ptr<ISerialDevice> MakeRegisterDevice()
{
    auto device = std::make_unique<TComm>();
    device->SetBaudRate(9600);
    device->SetDtrControl(SerialLine::TDtrControl::DtrDisable);
    device->SetTxContinueOnXoff(false);
    device->SetOutx_XonXoffFlow(false);
    device->SetIgnoreNullChar(false);
    device->SetRtsControl(SerialLine::TRtsControl::RtsEnable);
    device->SetByteSize(SerialLine::TByteSize::_8);
    device->SetParity(SerialLine::TParity::None);
    device->SetStopBits(SerialLine::TStopBits::_1);
    device->SetReadIntervalTimeout(0);
    return device;
}
