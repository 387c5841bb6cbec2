#include "core/DesignPalette.h"

#include "controls/fill/GDIPFill.h"
#include "platform/framework/Form.h"

namespace lumora {

void Paint(TGDIPFill& fill, const FillColors& c)
{
    fill.BeginUpdate();
    fill.SetColor(c.Color);
    fill.SetColorTo(c.ColorTo);
    fill.SetColorMirror(c.ColorMirror);
    fill.SetColorMirrorTo(c.ColorMirrorTo);
    fill.SetBorderColor(c.BorderColor);
    fill.SetRounding(c.Rounding);
    fill.SetShadowOffset(0);
    fill.EndUpdate();
}

TFont DesignFont(int screenPixelsPerInch, int height, TColor color, TFontStyles style)
{
    TFont font;
    font.SetName("Tahoma");
    font.SetHeight(height);
    font.SetColor(color);
    font.SetStyle(style);
    font.SetPixelsPerInch(screenPixelsPerInch);
    font.ScaleBy(screenPixelsPerInch, TForm::DesignPixelsPerInch);
    return font;
}

} // namespace lumora
