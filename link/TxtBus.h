#pragma once

// The item protocol: group select, item select, data read, data write and the reply check. Every
// transaction is one or more exchanges of the serial link.

#include <QString>

#include <cstdint>
#include <optional>

// The two-digit zero-padded decimal text of a whole number (5 -> "05", 123 -> "123").
QString NN(int value);

// A text from the module as the user may see it: CR and LF as <CR> and <LF>, other control and
// non-ASCII characters as their codes (<FF>), never as raw characters.
QString VisibleText(const QString &text);

// True when the reply is valid ("D" ... CR, at least 3 characters, nothing but printable ASCII
// between them, no pending time-out); the reply is then replaced by its payload, trimmed of
// spaces. A pending time-out is consumed here.
bool ReplyCheck(QString &reply);

// Enters a group; up to three tries for the payload "enter item".
bool GroupCommand(int16_t group, QString &reply);

// Selects an item for the following data command.
bool ItemCommand(int16_t item);

// Reads an item (channel 0: module level, no channel digits unless ForceChannelField).
bool DataRead(int16_t item, int16_t channel, QString &reply);

// Writes a value text to an item; false also when the module refuses it, and when the value holds
// a character the module cannot take (nothing is sent then).
bool ParameterWrite(int16_t item, const QString &value, QString &reply);

// A payload as a 16-bit decimal whole number; nullopt when it is not one.
std::optional<int16_t> WholeNumber(const QString &payload);
