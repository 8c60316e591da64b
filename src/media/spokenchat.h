#pragma once

#include <QString>

namespace velmora::spoken {

// A chat line as a screen reader should say it, for the announcement of a
// new line and for reading the history back alike: "Ann chats: hi" is "Ann
// says hi", a phrase "Ann says: Thanks!" is "Ann says Thanks!", a smiley code
// (":)#14", drawn as a picture) is the word "smiley", and any other colon or
// semicolon that ends a word is a comma, as a pause (an address keeps its
// colons: "http://host:80"); the solo player "You" says, and dots that
// trail off ("Loading Solo Game..Please wait.") are one full stop.
QString chatLine(const QString& shown);

} // namespace velmora::spoken
