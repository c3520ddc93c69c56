#pragma once

#include "platform/Error.h"

// A failure of the database layer: opening a data source, running a statement, reading a
// closed result. The message is the provider's own text where the provider gave one.
class DbError : public Error
{
public:
    using Error::Error;
};
