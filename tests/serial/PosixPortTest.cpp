#include "serial/PosixPort.h"

#include <gtest/gtest.h>

#include <utility>

using namespace SerialLine;

namespace {

// A record as a device might hand it out: cooked, echoing, 7E1 at 2400.
termios Cooked()
{
    termios t{};
    t.c_iflag = ICRNL | IXON | IXANY | ISTRIP | PARMRK;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    t.c_cflag = CS7 | PARENB | CSTOPB | CRTSCTS;
    cfsetispeed(&t, B2400);
    cfsetospeed(&t, B2400);
    return t;
}

termios Filled(const TLineSettings& settings)
{
    termios t = Cooked();
    EXPECT_TRUE(TPosixPort::FillTermios(settings, t));
    return t;
}

TLineSettings LinkSettings()
{
    TLineSettings s;
    s.dtrControl = TDtrControl::DtrDisable;
    s.txContinueOnXoff = false;
    s.outxXonXoffFlow = false;
    return s;
}

} // namespace

TEST(PosixPort, LinkSettingsGiveARawEightNoneOneLineWithInputFlowControl)
{
    const termios t = Filled(LinkSettings());
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(t.c_iflag & (IXON | IXANY | ICRNL | ISTRIP | PARMRK | INPCK), 0u);
    EXPECT_NE(t.c_iflag & IXOFF, 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    EXPECT_EQ(cfgetispeed(&t), speed_t(B9600));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
}

TEST(PosixPort, ParityByteSizeAndStopBitsMapOntoTheControlFlags)
{
    struct Case
    {
        TParity parity;
        tcflag_t flags;
    };
    const Case cases[] = {{TParity::None, 0},
                          {TParity::Odd, PARENB | PARODD},
                          {TParity::Even, PARENB},
                          {TParity::Mark, PARENB | CMSPAR | PARODD},
                          {TParity::Space, PARENB | CMSPAR}};
    for (const Case& c : cases) {
        TLineSettings s = LinkSettings();
        s.parity = c.parity;
        EXPECT_EQ(Filled(s).c_cflag & (PARENB | PARODD | CMSPAR), c.flags)
            << static_cast<int>(c.parity);
    }

    const std::pair<TByteSize, tcflag_t> sizes[] = {
        {TByteSize::_5, CS5}, {TByteSize::_6, CS6}, {TByteSize::_7, CS7}, {TByteSize::_8, CS8}};
    for (const auto& [size, flag] : sizes) {
        TLineSettings s = LinkSettings();
        s.byteSize = size;
        EXPECT_EQ(Filled(s).c_cflag & CSIZE, flag);
    }

    TLineSettings s = LinkSettings();
    s.stopBits = TStopBits::_1_5;
    EXPECT_NE(Filled(s).c_cflag & CSTOPB, 0u);
    s.stopBits = TStopBits::_2;
    EXPECT_NE(Filled(s).c_cflag & CSTOPB, 0u);
}

TEST(PosixPort, FlowControlAndCharactersFollowTheSettings)
{
    TLineSettings s = LinkSettings();
    s.outxXonXoffFlow = true;
    s.inxXonXoffFlow = false;
    s.parityCheck = true;
    s.xonChar = 0x01;
    s.xoffChar = 0x02;
    termios t = Filled(s);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), tcflag_t(IXON | INPCK));
    EXPECT_EQ(t.c_cc[VSTART], 0x01);
    EXPECT_EQ(t.c_cc[VSTOP], 0x02);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);

    s = LinkSettings();
    s.outxCtsFlow = true;
    EXPECT_NE(Filled(s).c_cflag & CRTSCTS, 0u);
    s = LinkSettings();
    s.rtsControl = TRtsControl::RtsHandshake;
    EXPECT_NE(Filled(s).c_cflag & CRTSCTS, 0u);
}

TEST(PosixPort, RatesAreTakenFromTheStandardSetOnly)
{
    const std::pair<quint32, speed_t> rates[] = {
        {4800, B4800},   {9600, B9600},     {19200, B19200},  {38400, B38400},
        {57600, B57600}, {115200, B115200}, {921600, B921600}};
    for (const auto& [rate, speed] : rates) {
        TLineSettings s = LinkSettings();
        s.baudRate = rate;
        EXPECT_TRUE(TPosixPort::IsBaudRateSupported(rate)) << rate;
        const termios t = Filled(s);
        EXPECT_EQ(cfgetospeed(&t), speed) << rate;
        EXPECT_EQ(cfgetispeed(&t), speed) << rate;
    }
    TLineSettings odd = LinkSettings();
    odd.baudRate = 12345;
    EXPECT_FALSE(TPosixPort::IsBaudRateSupported(12345));
    EXPECT_FALSE(TPosixPort::IsBaudRateSupported(0));
    termios t = Cooked();
    EXPECT_FALSE(TPosixPort::FillTermios(odd, t));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B2400));
    EXPECT_NE(t.c_lflag & ECHO, 0u);
}
