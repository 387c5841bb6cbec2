#pragma once

// The caption markup of the image list box and its translation into the
// rich text Qt's engine lays out (see AdvSmoothImageListBoxHTMLRender.h).
//
// The caption markup is translated into a small, closed subset of Qt's rich
// text by a pure function; everything outside the subset is escaped, so no
// markup of the caption ever reaches the engine unchecked. Understood:
//
//   <b> <i> <u> <s>                 bold, italic, underline, strike-out
//   <font color="..." size=".." face="..">   colour (#rrggbb, #rgb, a colour
//                                   name such as "red" or "clRed"), HTML size
//                                   1..7 or +n/-n, font family
//   <br>                            line break
//   <a href="...">anchor</a>        drawn in the caption's URLColor, underlined;
//                                   a click reports the href
//   <shad>text</shad>               text with a shadow in ShadowColor, moved
//                                   by ShadowOffset to the right and down
//   &amp; &lt; &gt; &nbsp; &quot; &#n; &#xh;   entities
//
// Unknown tags are dropped and their content kept; closing tags without an
// opener are ignored; tags left open are closed at the end. Nothing is ever
// loaded: images and other resources are neither translated nor fetched.

#include "platform/framework/Colors.h"

#include <QDateTime>
#include <QString>

namespace lumora {

// Which rendering of the caption a translation is for. The shadow pass keeps
// the exact layout of the text pass but shows only the <shad> parts, in the
// shadow colour; the caller draws it first, moved by the shadow offset.
enum THTMLPass { hpText, hpShadow };

// Translates caption markup into the rich text QTextDocument is given.
QString TranslateMarkup(const QString& markup, THTMLPass pass, TColor urlColor, TColor shadowColor);

// True when the markup holds a <shad> part (only then a shadow pass is drawn).
bool HasShadow(const QString& markup);

// Escapes text so it shows literally inside markup.
QString EscapeMarkup(const QString& text);

// The values a caption template may name. Placeholders, replaced in
// DefaultHTMLText.Text when an item's own caption is empty:
//   <#CAPTION>   the item's caption text (markup, inserted as it is)
//   <#FILENAME>  the file's name (shown literally)
//   <#FILESIZE>  the file's size in bytes
//   <#FILEDATE>  the file's modification time, in the locale's short format
//   <#HINT>      the item's hint (shown literally)
// Unknown placeholders stay as they are.
struct TCaptionFields {
    QString caption;
    QString fileName;
    qint64 fileSize = 0;
    QDateTime fileDate;
    QString hint;
};
QString FillTemplate(const QString& templ, const TCaptionFields& fields);

} // namespace lumora
