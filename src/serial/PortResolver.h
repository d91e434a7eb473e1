#pragma once

#include <QString>

#include <functional>

// Turns a port name as the operator knows it ("COM1") into the device path
// that is opened.
using PortResolver = std::function<QString(const QString& commName)>;

// Replaces the resolver for the rest of the run; an empty one restores the
// default. Called on the user-interface thread.
void SetPortResolver(PortResolver resolver);

// True once a resolver was set (and not restored to the default).
bool HasPortResolver();

// The path TComm opens for `commName`, through the current resolver.
QString ResolvePortName(const QString& commName);

// "COMn" (any case, n >= 1) becomes /dev/ttyS(n-1); a name holding '/' is a
// path already and anything else is returned unchanged.
QString DefaultPortName(const QString& commName);
