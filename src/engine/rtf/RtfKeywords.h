#pragma once

#include <string_view>

namespace richedit::rtf {

// The control words the reader acts on. Everything else is skipped.
enum class Kw {
    Unknown,
    // document and destinations
    rtf, ansi, mac, pc, pca, ansicpg, deff, uc, u, bin,
    fonttbl, colortbl, stylesheet, info, pict, object, objdata, objclass, objname, result,
    field, fldinst, fldrslt, pn, pntext, listtext, listtable, list, listlevel, leveltext,
    levelnumbers, listoverridetable, listoverride, shppict, nonshppict, shp,
    header, footer, footnote, annotation, SkipDestination,
    // font and colour tables, styles
    f, fnil, froman, fswiss, fmodern, fscript, fdecor, ftech, fbidi, fcharset, fprq, cpg,
    red, green, blue, s, cs, ds, ts,
    // character formatting
    plain, fs, b, i, ul, ulw, uldb, uld, uldash, uldashd, uldashdd, ulwave, ulth, ulthd,
    ulthdash, ulhair, ululdbwave, ulhwave, ulldash, ulnone, strike, striked, cf, cb, highlight,
    chcbpat, sub, super, nosupersub, up, dn, v, protect, revised, revauth, caps, scaps, outl,
    shad, embo, impr, expnd, expndtw, kerning, lang, charscalex, animtext, deleted,
    // paragraph formatting
    pard, ql, qc, qr, qj, qd, li, ri, fi, lin, rin, sb, sa, sl, slmult, tx, tb, tqr, tqc, tqdec,
    tldot, tlhyph, tlul, tlth, tleq, tlmdot, keep, keepn, pagebb, intbl, rtlpar, ltrpar,
    outlinelevel, ls, ilvl,
    // old numbering
    pnlvlblt, pnlvlbody, pnlvlcont, pnlvl, pndec, pnucltr, pnlcltr, pnucrm, pnlcrm, pnstart,
    pnindent, pntxta, pntxtb,
    // new numbering
    listid, levelnfc, levelnfcn, levelstartat,
    // text
    par, line, tab, page, sect, cell, nestcell, row, nestrow, trowd, cellx,
    emdash, endash, lquote, rquote, ldblquote, rdblquote, bullet, emspace, enspace, qmspace,
    zwj, zwnj, ltrmark, rtlmark,
    // pictures and objects
    pngblip, jpegblip, emfblip, wmetafile, dibitmap, wbitmap, macpict, pmmetafile, picw, pich,
    picwgoal, pichgoal, picscalex, picscaley, wbmbitspixel, wbmplanes, wbmwidthbytes,
    chftn, shptxt, dptxbxtext, shprslt, nonesttables,
    objemb, objlink, objautlink, objsub, objpub, objicemb, objhtml, objocx, objw, objh,
};

Kw lookupKeyword(std::string_view name);

} // namespace richedit::rtf
