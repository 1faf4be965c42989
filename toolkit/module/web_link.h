// The product's home page in the system's web browser: the command line of
// the registry's web handler (the default value of
// Software\CLASSES\http\shell\open\command), cut before its argument
// placeholder, with the address appended, started as a new process.
// Nothing happens when the handler is not registered or cannot be started.
#pragma once

// The command line started for an address, from the handler's registered
// command: it ends at the first "%" (the character before it becomes a
// blank) or at the first "/" followed by "e", whichever comes first; then a
// blank and the address follow. Returns false when the result does not fit.
bool WebHandlerCommand(const char* registered, const char* address, char* command, int capacity);

void OpenHomePage(const char* address);
