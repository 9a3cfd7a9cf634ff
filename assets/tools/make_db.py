#!/usr/bin/env python3
r"""Writes assets/db.txt, the codec list of Tamso AVI, from the table below.

Each entry is a four-character code (a handler code of an AVI video stream) and a one-line
description in our own words: the codec's name, its maker and what it is. A code whose
fourth character is '*' stands for every code that begins with its first three
characters. Lookups ignore letter case, so one entry serves both spellings of a code.

The list is written with CR LF line ends: first the codes met most often in AVI files
(MOST_MET), then the other exact codes in table order, then the prefix codes (so a prefix
never hides an exact code), and last the other codes made of control bytes (numeric tags
that some writers put where letters belong). A lookup reads the list from the top, so
the order decides how soon a code is found.

Usage: python3 assets/tools/make_db.py   (rewrites assets/db.txt beside this folder)
       python3 assets/tools/make_db.py --coverage LIST...
           (reads the written db.txt and counts the codes of each LIST it describes)

A LIST has one four-character code a line; lines starting with '#' are comments, \xNN
stands for the byte NN, and a shorter line is padded with spaces.
"""

import pathlib
import re
import sys

# --- helpers for families whose members differ in one detail -------------------------


def family(codes, text):
    """The same description for several codes."""
    return [(c, text) for c in codes]


def raw(code, layout):
    return (code, f"Uncompressed {layout} - raw frames stored without compression")


ENTRIES = []
add = ENTRIES.append
extend = ENTRIES.extend

# --- H.264 / AVC and H.265 / HEVC ------------------------------------------------------
add(("H264", "H.264 / MPEG-4 AVC - ITU-T and ISO standard video as written by x264 and FFmpeg"))
add(("X264", "x264 - VideoLAN open-source encoder of H.264 / MPEG-4 AVC video"))
add(("avc1", "H.264 / MPEG-4 AVC - standard video under its MP4 and QuickTime name"))
add(("avc2", "H.264 / MPEG-4 AVC - standard video under a QuickTime sample name"))
add(("avc3", "H.264 / MPEG-4 AVC - standard video with parameter sets carried in the stream"))
add(("avc4", "H.264 / MPEG-4 AVC - standard video with parameter sets in the stream (variant)"))
add(("DAVC", "Dicas MPEGable H.264 - H.264 video from the Dicas encoder"))
add(("SMV2", "H.264 video under a tag used by some camera and capture software"))
add(("VSSH", "VSS H.264 - Vanguard Software Solutions encoder of H.264 video"))
add(("Q264", "QNAP H.264 - video recorded by QNAP surveillance systems"))
add(("V264", "H.264 video from closed-circuit TV recorders"))
add(("GAVC", "GeoVision H.264 - video from GeoVision surveillance cameras"))
add(("UMSV", "H.264 video under a tag used by some surveillance recorders"))
add(("tshd", "H.264 video under a tag used by some camera recorders"))
add(("INMC", "H.264 or MPEG-4 video from surveillance recorders"))
add(("ai12", "AVC-Intra 100 1080 - Panasonic intra-only H.264 for broadcast cameras"))
add(("ai13", "AVC-Intra 100 1080 - Panasonic intra-only H.264 (second field order)"))
add(("ai15", "AVC-Intra 50 1080 - Panasonic intra-only H.264 at 50 Mbit/s"))
add(("ai16", "AVC-Intra 50 1080 - Panasonic intra-only H.264 at 50 Mbit/s (variant)"))
add(("ai1p", "AVC-Intra 100 720p - Panasonic intra-only H.264 progressive"))
add(("ai1q", "AVC-Intra 100 720p - Panasonic intra-only H.264 progressive (variant)"))
add(("ai52", "AVC-Intra 50 1080i - Panasonic intra-only H.264 interlaced"))
add(("ai53", "AVC-Intra 50 1080i - Panasonic intra-only H.264 interlaced (variant)"))
add(("ai55", "AVC-Intra 50 1080 - Panasonic intra-only H.264 (another frame rate)"))
add(("ai56", "AVC-Intra 50 1080 - Panasonic intra-only H.264 (another frame rate)"))
add(("ai5p", "AVC-Intra 50 720p - Panasonic intra-only H.264 progressive"))
add(("ai5q", "AVC-Intra 50 720p - Panasonic intra-only H.264 progressive (variant)"))
add(("aivx", "AVC-Intra - Panasonic intra-only H.264 with the class signalled in the stream"))
add(("AVin", "Avid AVC-Intra - intra-only H.264 from Avid editing systems"))
add(("avlg", "H.264 video under an Avid long-GOP tag"))
add(("xalg", "XAVC Long GOP - Sony H.264 for professional cameras"))
add(("dva1", "Dolby Vision over H.264 - HDR video with an AVC base layer"))
add(("dvav", "Dolby Vision over H.264 - HDR video with an AVC base layer (variant)"))
add(("rv64", "H.264 video under a tag used by some QuickTime writers"))
add(("HEVC", "H.265 / HEVC - ITU-T and ISO High Efficiency Video Coding"))
add(("H265", "H.265 / HEVC - High Efficiency Video Coding from x265 and similar encoders"))
add(("X265", "x265 - MulticoreWare open-source encoder of H.265 / HEVC video"))
add(("hvc1", "H.265 / HEVC - standard video under its MP4 and QuickTime name"))
add(("hev1", "H.265 / HEVC - standard video with parameter sets carried in the stream"))
add(("dvhe", "Dolby Vision over H.265 - HDR video with an HEVC base layer"))
add(("evc1", "MPEG-5 EVC - ISO Essential Video Coding"))
add(("H266", "H.266 / VVC - ITU-T and ISO Versatile Video Coding"))

# --- H.263 / H.261 and relatives -------------------------------------------------------
add(("H263", "H.263 - ITU-T video-conferencing standard for low bit rates"))
add(("X263", "H.263 video under a tag used by Xirlink cameras"))
add(("T263", "H.263 video under a variant tag"))
add(("L263", "LEAD H.263 - LEAD Technologies encoder of H.263 video"))
add(("VX1K", "Lucent VX1000S - H.263 video from Lucent video-conferencing"))
add(("VX2K", "Lucent VX2000S - video-conferencing codec from Lucent"))
add(("ZyGo", "ZyGo Video - H.263 based video from ZyGo Digital"))
add(("M263", "Microsoft H.263 - H.263 video from NetMeeting"))
add(("lsvm", "H.263 video under a tag used by some recorders"))
add(("I263", "Intel H.263 - Intel's variant of H.263 for video calls"))
add(("U263", "UB Video H.263+ - H.263 version 2 encoder from UB Video"))
add(("VSM4", "H.263 video from some recorders that store interlaced fields"))
add(("S263", "Sorenson H.263 - Flash video variant of H.263"))
add(("H261", "H.261 - ITU-T video-conferencing standard over ISDN"))
add(("M261", "Microsoft H.261 - H.261 video from NetMeeting"))
add(("VIVO", "Vivo H.263 - streaming video from Vivo Software"))
add(("BITM", "Microsoft H.261 - H.261 video from Microsoft (BITM)"))
for code in ["H260", "H267", "H268", "H269"]:
    add((code, f"Intel conferencing video - H.26x family tag from Intel ({code})"))
add(("D261", "DEC H.261 - H.261 video from Digital Equipment Corporation"))
add(("D263", "DEC H.263 - H.263 video from Digital Equipment Corporation"))
add(("L261", "LEAD H.261 - LEAD Technologies encoder of H.261 video"))
add(("V261", "Lucent VX3000S - H.261 video-conferencing codec from Lucent"))
add(("VIV1", "Vivo H.263 - streaming video from Vivo Software (VIV1)"))
add(("VIV2", "Vivo H.263 - streaming video from Vivo Software (VIV2)"))
add(("SPRK", "Sorenson Spark - H.263 variant of Flash video (SPRK)"))

# --- MPEG-4 Visual (ASP) ---------------------------------------------------------------
add(("FMP4", "FFmpeg MPEG-4 - MPEG-4 Visual video as written by FFmpeg and ffdshow"))
add(("DIVX", "DivX 4 and later - DivX MPEG-4 Visual video"))
add(("DX50", "DivX 5 - DivX MPEG-4 Visual video (version 5 and later)"))
add(("XVID", "Xvid - open-source MPEG-4 Visual video codec"))
add(("XVIX", "Xvid - MPEG-4 Visual video under a variant Xvid tag"))
add(("MP4S", "Microsoft ISO MPEG-4 - MPEG-4 Visual simple profile from Microsoft"))
add(("M4S2", "Microsoft ISO MPEG-4 2 - MPEG-4 Visual simple profile from Microsoft"))
add(("ZMP4", "MPEG-4 Visual video under a tag some faulty writers use"))
add(("DIV1", "MPEG-4 Visual video under an early DivX-style tag"))
add(("BLZ0", "Blizzard MPEG-4 - DivX-style MPEG-4 Visual video in Blizzard games"))
add(("mp4v", "MPEG-4 Visual - ISO video under its MP4 and QuickTime name"))
add(("UMP4", "UB Video MPEG-4 - MPEG-4 Visual encoder from UB Video"))
add(("WV1F", "MPEG-4 Visual video under a tag used by WV1F capture tools"))
add(("SEDG", "Samsung MPEG-4 - MPEG-4 Visual video from Samsung devices"))
add(("RMP4", "REALmagic MPEG-4 - Sigma Designs MPEG-4 Visual video"))
add(("3IV2", "3ivx D4 - 3ivx MPEG-4 Visual video"))
add(("3IVD", "3ivx for DivX 3 - a DivX 3 compatible MPEG-4 variant from 3ivx"))
add(("3IV1", "3ivx - early MPEG-4 based video from 3ivx"))
add(("WAWV", "WaWv - MPEG-4 Visual video from the WaWv codec"))
add(("FFDS", "ffdshow MPEG-4 - MPEG-4 Visual video from the ffdshow filter"))
add(("FVFW", "ffvfw MPEG-4 - MPEG-4 Visual video from the ffvfw codec"))
add(("DCOD", "MPEG-4 Visual video under the DCOD tag"))
add(("MVXM", "MPEG-4 Visual video under the MVXM tag"))
add(("PM4V", "Pinnacle MPEG-4 - MPEG-4 Visual video from Pinnacle Systems"))
add(("SMP4", "Samsung MPEG-4 - MPEG-4 Visual video from Samsung cameras"))
add(("DXGM", "Electronic Arts game video - MPEG-4 Visual in EA titles"))
add(("VIDM", "DivX 5 Pro - MPEG-4 Visual video from DivX Pro"))
add(("M4T3", "MPEG-4 Visual video under the M4T3 tag"))
add(("GEOX", "GeoVision MPEG-4 - video from GeoVision surveillance systems"))
add(("GEOV", "GeoVision MPEG-4 - video from GeoVision surveillance systems (variant)"))
add(("G264", "GeoVision MPEG-4 - MPEG-4 Visual despite the name stored upside down"))
add(("GMP4", "GeoVision MPEG-4 - video from GeoVision cameras"))
add(("HDX4", "Jomigo HDX4 - MPEG-4 Visual video stored upside down"))
add(("DM4V", "Dicas MPEG-4 - MPEG-4 Visual video from the Dicas encoder"))
add(("DMK2", "MPEG-4 Visual video under the DMK2 tag"))
add(("DYM4", "MPEG-4 Visual video under the DYM4 tag"))
add(("DIGI", "MPEG-4 Visual video from digital recorders"))
add(("EPHV", "Ephv MPEG-4 - MPEG-4 Visual video from the Ephv codec"))
add(("EM4A", "MPEG-4 Visual video under the EM4A tag"))
add(("M4CC", "Divio MPEG-4 - MPEG-4 Visual video from Divio"))
add(("SN40", "MPEG-4 Visual video under the SN40 tag"))
add(("VSPX", "MPEG-4 Visual video under the VSPX tag"))
add(("ULDX", "MPEG-4 Visual video under the ULDX tag"))
add(("SIPP", "Samsung SHR-6040 - MPEG-4 Visual video from a Samsung recorder"))
add(("SM4V", "MPEG-4 Visual video under the SM4V tag"))
add(("DreX", "DreX - MPEG-4 Visual video from the DreX codec"))
add(("QMP4", "QNAP MPEG-4 - video recorded by QNAP surveillance systems"))
add(("PLV1", "Pelco MPEG-4 - video from Pelco digital video recorders"))
add(("GLV4", "MPEG-4 Visual video from surveillance recorders"))
add(("MNM4", "March Networks MPEG-4 - video from March Networks recorders"))
add(("GTM4", "Telefactor MPEG-4 - video from Telefactor recorders"))
add(("NAVI", "nAVI - altered Microsoft MPEG-4 v3 video"))
add(("PVMM", "PacketVideo MPEG-4 - streaming MPEG-4 from PacketVideo"))
add(("3IV0", "3ivx - early MPEG-4 based video from 3ivx (3IV0)"))
add(("3IVX", "3ivx - MPEG-4 Visual video from 3ivx"))
add(("ATM4", "Nero Digital - MPEG-4 Visual video from Ahead Nero (ATM4)"))
add(("NDIG", "Nero Digital - MPEG-4 Visual video from Ahead Nero"))
add(("DP02", "DynaPel MPEG-4 - MPEG-4 Visual video from DynaPel Systems"))
add(("BLOX", "BLOX - Jan Jezabek's MPEG based video codec"))

# --- Microsoft MPEG-4 v1 to v3 and DivX 3 ----------------------------------------------
add(("MP43", "Microsoft MPEG-4 v3 - pre-standard MPEG-4 video from Microsoft"))
add(("DIV3", "DivX 3 low motion - altered Microsoft MPEG-4 v3 video"))
add(("DIV4", "DivX 3 fast motion - altered Microsoft MPEG-4 v3 video"))
add(("DIV5", "DivX 3 - altered Microsoft MPEG-4 v3 video (DIV5 variant)"))
add(("DIV6", "DivX 3 - altered Microsoft MPEG-4 v3 video (DIV6 variant)"))
add(("MPG3", "Microsoft MPEG-4 v3 - under an alternative tag"))
add(("DVX3", "DivX 3 - Microsoft MPEG-4 v3 compatible video (DVX3 tag)"))
add(("AP41", "AngelPotion - altered Microsoft MPEG-4 v3 video"))
add(("COL1", "Microsoft MPEG-4 v3 compatible video (COL1 tag)"))
add(("COL0", "Microsoft MPEG-4 v3 compatible video (COL0 tag)"))
add(("SAN3", "Microsoft MPEG-4 v3 compatible video from a DivX 3 copy"))
add(("MDVD", "MicroDVD - DivX 3 style video from the MicroDVD project"))
add(("MP42", "Microsoft MPEG-4 v2 - pre-standard MPEG-4 video from Microsoft"))
add(("DIV2", "Microsoft MPEG-4 v2 compatible video (DIV2 tag)"))
add(("MPG4", "Microsoft MPEG-4 v1 - the first pre-standard MPEG-4 video from Microsoft"))
add(("MP41", "Microsoft MPEG-4 v1 - pre-standard MPEG-4 video (MP41 tag)"))
add(("AP42", "AngelPotion Definitive - altered Microsoft MPEG-4 v2 video"))

# --- Windows Media and VC-1 ------------------------------------------------------------
add(("WMV1", "Windows Media Video 7 - Microsoft"))
add(("WMV2", "Windows Media Video 8 - Microsoft"))
add(("GXVE", "Windows Media Video 8 compatible video (GXVE tag)"))
add(("WMV3", "Windows Media Video 9 - Microsoft (simple and main profile of VC-1)"))
add(("WMVA", "Windows Media Video 9 Advanced Profile - Microsoft pre-standard VC-1"))
add(("WVC1", "VC-1 - SMPTE 421M advanced profile video from Microsoft"))
add(("vc-1", "VC-1 - SMPTE 421M video under its QuickTime name"))
add(("WMVP", "Windows Media Video 9 Image - Microsoft still-image slide shows"))
add(("WVP2", "Windows Media Video 9 Image v2 - Microsoft still-image slide shows"))
add(("MSS1", "Windows Media Screen 7 - Microsoft screen capture video"))
add(("MSS2", "Windows Media Screen 9 - Microsoft screen capture video"))
add(("MSA1", "MS ATC Screen - Microsoft screen capture codec"))
add(("MTS2", "MS Expression Encoder Screen - Microsoft screen capture codec"))
add(("SQZ2", "VXtreme Video 2 - streaming codec from VXtreme (later Microsoft)"))
add(("MWV1", "Aware Motion Wavelets - wavelet codec from Aware Inc"))

# --- DV and DVCPRO ---------------------------------------------------------------------
add(("dvsd", "DV - standard-definition digital video as recorded by DV and MiniDV camcorders"))
add(("dvhd", "DV HD - high-definition variant of the DV format"))
add(("dvh1", "DVCPRO HD - Panasonic high-definition DV at 100 Mbit/s"))
add(("dvsl", "DV SDL - long-play DV at a reduced data rate"))
add(("dv25", "DVCPRO - Panasonic professional DV at 25 Mbit/s"))
add(("dv50", "DVCPRO50 - Panasonic professional DV at 50 Mbit/s"))
add(("cdvc", "Canopus DV - DV video from Canopus capture cards"))
add(("CDVH", "Canopus DV HD - DV video from Canopus HD capture cards"))
add(("CDV5", "Canopus DV50 - DV video at 50 Mbit/s from Canopus cards"))
add(("dvc ", "DV NTSC - QuickTime name of NTSC DV"))
add(("dvcp", "DV PAL - QuickTime name of PAL DV"))
add(("dvcs", "DV - digital video under the dvcs tag"))
add(("dvis", "DV - digital video under the dvis tag"))
add(("pdvc", "DV - digital video from Panasonic under the pdvc tag"))
add(("SL25", "SoftLab-NSK DV - DV at 25 Mbit/s from SoftLab-NSK Forward"))
add(("SLDV", "SoftLab-NSK DV - DV video from SoftLab-NSK Forward"))
add(("AVd1", "Avid DV - DV video from Avid editing systems"))
add(("AVdv", "Avid DV - DV video from Avid editing systems (QuickTime tag)"))
add(("dvpp", "DVCPRO PAL - Panasonic DVCPRO under its QuickTime name"))
add(("dv5n", "DVCPRO50 NTSC - Panasonic DVCPRO50 under its QuickTime name"))
add(("dv5p", "DVCPRO50 PAL - Panasonic DVCPRO50 under its QuickTime name"))
add(("dvl ", "DV - QuickTime tag of a DV variant"))
add(("dvlp", "DV - QuickTime tag of a DV variant"))
add(("dvhp", "DVCPRO HD 720p - Panasonic HD DV under its QuickTime name"))
add(("dvhq", "DVCPRO HD 720p - Panasonic HD DV under its QuickTime name (50 Hz)"))
add(("dvh2", "DVCPRO HD - Panasonic HD DV under its QuickTime name"))
add(("dvh3", "DVCPRO HD 1080i - Panasonic HD DV under its QuickTime name"))
add(("dvh4", "DVCPRO HD - Panasonic HD DV under its QuickTime name"))
add(("dvh5", "DVCPRO HD 1080i50 - Panasonic HD DV under its QuickTime name"))
add(("dvh6", "DVCPRO HD 1080i60 - Panasonic HD DV under its QuickTime name"))
add(("IPDV", "I-O Data Giga AVI DV - DV video from I-O Data capture devices"))
add(("DSVD", "DV - standard-definition DV under a Microsoft DirectShow tag"))
add(("DC25", "MainConcept DV - DV video at 25 Mbit/s from MainConcept"))
add(("DCAP", "Pinnacle DV - DV video at 25 Mbit/s from Pinnacle Systems"))
add(("MDVF", "Pinnacle DV - DV25 / DV50 / DV100 video from Pinnacle Systems (MDVF)"))
add(("SL50", "SoftLab-NSK DV50 - DV at 50 Mbit/s from SoftLab-NSK Forward"))

# --- MPEG-1 and MPEG-2 -----------------------------------------------------------------
add(("mpg1", "MPEG-1 video - ISO standard video as in Video CDs"))
add(("mpg2", "MPEG-2 video - ISO standard video as on DVDs and digital TV"))
add(("MPEG", "MPEG-2 video - ISO standard video under a generic tag"))
add(("mpgv", "MPEG-2 video - ISO standard video under the mpgv tag"))
add(("PIM1", "Pinnacle MPEG-1 - MPEG-1 video from Pinnacle capture hardware"))
add(("PIM2", "Pinnacle MPEG-2 - MPEG-2 video from Pinnacle capture hardware"))
add(("VCR2", "ATI VCR 2 - MPEG-1 style video from ATI capture cards"))
add(("DVR ", "MPEG-2 video from digital video recorders"))
add(("MMES", "Matrox MPEG-2 - I-frame MPEG-2 from Matrox editing hardware"))
add(("LMP2", "LEAD MPEG-2 - MPEG-2 video from LEAD Technologies"))
add(("slif", "MPEG-2 video under the slif tag"))
add(("EM2V", "Etymonix MPEG-2 - I-frame MPEG-2 video from Etymonix"))
add(("M701", "Matrox MPEG-2 intra - Matrox I-frame MPEG-2 for editing"))
add(("M702", "Matrox MPEG-2 intra - Matrox I-frame MPEG-2 (M702 variant)"))
add(("M703", "Matrox MPEG-2 intra - Matrox I-frame MPEG-2 (M703 variant)"))
add(("M704", "Matrox MPEG-2 intra - Matrox I-frame MPEG-2 (M704 variant)"))
add(("M705", "Matrox MPEG-2 intra - Matrox I-frame MPEG-2 (M705 variant)"))
add(("BW10", "Broadway MPEG-1 - MPEG-1 video from Data Translation Broadway"))
add(("XMPG", "Xing MPEG - I-frame MPEG-1 video from Xing Technology"))
add(("AMPG", "Array VideoONE MPEG - MPEG video from Array Microsystems"))
add(("m1v ", "MPEG-1 video - QuickTime name"))
add(("m1v1", "MPEG-1 video - QuickTime name (variant)"))
add(("mp1v", "MPEG-1 video - QuickTime name (mp1v)"))
add(("m2v1", "MPEG-2 video - QuickTime name"))
add(("mp2v", "MPEG-2 video - QuickTime name (mp2v)"))
add(("AVmp", "Avid IMX - I-frame MPEG-2 from Avid editing systems"))
add(("mx3n", "IMX 30 NTSC - Sony D-10 I-frame MPEG-2 at 30 Mbit/s"))
add(("mx3p", "IMX 30 PAL - Sony D-10 I-frame MPEG-2 at 30 Mbit/s"))
add(("mx4n", "IMX 40 NTSC - Sony D-10 I-frame MPEG-2 at 40 Mbit/s"))
add(("mx4p", "IMX 40 PAL - Sony D-10 I-frame MPEG-2 at 40 Mbit/s"))
add(("mx5n", "IMX 50 NTSC - Sony D-10 I-frame MPEG-2 at 50 Mbit/s"))
add(("mx5p", "IMX 50 PAL - Sony D-10 I-frame MPEG-2 at 50 Mbit/s"))
add(("xdv*", "XDCAM HD - Sony MPEG-2 long-GOP video for professional cameras"))
add(("xd5*", "XDCAM HD422 - Sony 4:2:2 MPEG-2 long-GOP video at 50 Mbit/s"))
add(("xdh2", "XDCAM HD422 - Sony 4:2:2 MPEG-2 video (xdh2)"))
add(("xdhd", "XDCAM HD - Sony MPEG-2 video (xdhd)"))
add(("hdv*", "HDV - MPEG-2 high-definition video from HDV camcorders"))
add(("H262", "H.262 - ITU-T name of MPEG-2 video"))
add(("MPGI", "Sigma Designs editable MPEG - I-frame MPEG from Sigma Designs"))
add(("MMIF", "Matrox MPEG-2 intra - I-frame MPEG-2 from Matrox editing hardware (MMIF)"))
add(("AEMI", "Array VideoONE MPEG-1 intra - I-frame MPEG-1 from Array Microsystems"))
add(("DVMA", "Darim Vision DVMPEG - MPEG video from Darim Vision"))
add(("YMPG", "YMPEG Alpha - a placeholder codec for MPEG-2 compression"))
add(("RAVI", "GroupTRON ReferenceAVI - a placeholder codec for MPEG compression"))
add(("RAV_", "GroupTRON ReferenceAVI - a placeholder codec for MPEG compression (RAV_)"))

# --- Motion JPEG and other JPEG-based video --------------------------------------------
add(("MJPG", "Motion JPEG - every frame a JPEG picture; used by webcams and capture cards"))
add(("mjpa", "Motion JPEG format A - Apple QuickTime variant of Motion JPEG"))
add(("mjpb", "Motion JPEG format B - Apple QuickTime variant without markers"))
add(("MSC2", "Multiscope II - Motion JPEG from Multiscope surveillance"))
add(("LJPG", "Lossless JPEG - JPEG pictures without loss"))
add(("dmb1", "Matrox Motion JPEG - Motion JPEG from Matrox Rainbow Runner"))
add(("JR24", "Quadrox Motion JPEG - video from Quadrox surveillance"))
add(("JPGL", "Pegasus lossless JPEG - lossless JPEG video from Pegasus Imaging"))
add(("PIMJ", "Pegasus lossless JPEG - lossless JPEG video from Pegasus Imaging (PIMJ)"))
add(("MJLS", "JPEG-LS - lossless and near-lossless JPEG video as FFmpeg writes it"))
add(("jpeg", "JPEG - Motion JPEG under the QuickTime photo-JPEG name"))
add(("IJPG", "Intergraph JPEG - Motion JPEG from Intergraph"))
add(("AVRn", "Avid Motion JPEG - Avid compressed JPEG video"))
add(("AVDJ", "Avid Motion JPEG - Avid JPEG video (QuickTime tag)"))
add(("ACDV", "ACD Systems digital video - Motion JPEG from ACD Systems"))
add(("QIVG", "Q-Team Motion JPEG - Motion JPEG from Q-Team"))
add(("SLMJ", "SL Motion JPEG - Motion JPEG from SoftLab-NSK"))
add(("CJPG", "Creative WebCam JPEG - Motion JPEG from Creative Labs webcams"))
add(("IJLV", "Intel JPEG Library Video - Motion JPEG from the Intel JPEG library"))
add(("MVJP", "Midvid JPEG - Motion JPEG from Midvid"))
add(("AVI1", "Motion JPEG - from MainConcept and Matrox capture (AVI1 marker)"))
add(("AVI2", "Motion JPEG - variant tag from capture software"))
add(("MTSJ", "Motion JPEG - from MTSJ surveillance recorders"))
add(("ZJPG", "Paradigm Matrix Motion JPEG - video from Paradigm Matrix"))
add(("MMJP", "Motion JPEG - MMJP variant tag"))
add(("TVJP", "TARGA 2000 Motion JPEG - Truevision and Pinnacle capture cards"))
add(("TVMJ", "TARGA 2000 Motion JPEG - Truevision and Pinnacle capture cards (TVMJ)"))
add(("WJPG", "Winbond JPEG - Motion JPEG from Winbond capture chips"))
add(("FLJP", "D-Vision field JPEG - Motion JPEG coded by fields"))
add(("GPEG", "Motion JPEG - GPEG variant tag"))
add(("ZPEG", "Metheus video Zipper - JPEG based video from Metheus"))
add(("SP54", "SunPlus JPEG - Motion JPEG from SunPlus webcam chips"))
add(("mjp2", "Motion JPEG 2000 - every frame a JPEG 2000 picture"))
add(("MJ2C", "Morgan JPEG 2000 - JPEG 2000 video from Morgan Multimedia"))
add(("LJ2C", "LEAD JPEG 2000 - JPEG 2000 video from LEAD Technologies"))
add(("LJ2K", "LEAD JPEG 2000 - JPEG 2000 video from LEAD Technologies (LJ2K)"))
add(("IPJ2", "Image Power JPEG 2000 - JPEG 2000 video from Image Power"))
add(("AVj2", "Avid JPEG 2000 - JPEG 2000 video from Avid editing systems"))
add(("AVID", "Avid Motion JPEG - JPEG video from Avid editing systems (AVID)"))
add(("AVR ", "Avid Motion JPEG - JPEG video from Avid capture boards (AVR)"))
add(("ADVJ", "Avid Motion JPEG - JPEG video from Avid editing systems (ADVJ)"))
add(("GJPG", "Grand Tech JPEG - Motion JPEG from Grand Tech GT891x chips"))
add(("CFCC", "DPS Perception - Motion JPEG from Digital Processing Systems cards"))
add(("DPS0", "DPS Reality - Motion JPEG from Digital Processing Systems"))
add(("DPSC", "DPS PAR - Motion JPEG from Digital Processing Systems"))
add(("FMJP", "D-Vision ISO Motion JPEG - Motion JPEG coded by fields"))
add(("GEPJ", "Motion JPEG under the byte-reversed JPEG tag"))
add(("GPJM", "Motion JPEG under the byte-reversed MJPG tag (Pinnacle ReelTime)"))
add(("JFIF", "JPEG File Interchange Format - every frame a JFIF picture"))
add(("JPG ", "JPEG - every frame a JPEG picture"))
add((" JPG", "JPEG - every frame a JPEG picture (space-led tag)"))
add(("MJPX", "Pegasus PICVideo - Motion JPEG from Pegasus Imaging"))
add(("MC24", "MainConcept Motion JPEG - JPEG video from MainConcept"))
add(("SWC1", "MainConcept Motion JPEG - JPEG video from MainConcept (SWC1)"))
add(("SJPG", "CU-SeeMe Motion JPEG - video-conferencing JPEG from CU-SeeMe Networks"))
add(("XJPG", "Xirlink JPEG - JPEG-like video from Xirlink cameras"))
add(("IMJG", "Accom SphereOUS - Motion JPEG with alpha from Accom"))
add(("SP4*", "SunPlus JPEG - Motion JPEG from SunPlus webcam chips"))
add(("SP5*", "SunPlus JPEG - Motion JPEG from SunPlus webcam chips"))
add(("SP6*", "SunPlus JPEG - Motion JPEG from SunPlus webcam chips"))
add(("FRWA", "SoftLab-NSK Forward Motion JPEG with alpha"))
add(("FRWD", "SoftLab-NSK Forward Motion JPEG - from Forward capture boards"))
add(("FRWT", "SoftLab-NSK Forward Motion JPEG with alpha (FRWT)"))
add(("FRLE", "SoftLab-NSK Forward run-length - coded video with alpha from Forward boards"))

# --- Lossless and intermediate codecs --------------------------------------------------
add(("HFYU", "Huffyuv - Ben Rudiak-Gould's fast lossless video codec"))
add(("FFVH", "FFmpeg Huffyuv - FFmpeg's extended Huffyuv lossless video"))
add(("FFV1", "FFV1 - FFmpeg's lossless intra-frame video codec"))
add(("LAGS", "Lagarith - Ben Greenwood's lossless video codec"))
add(("LOCO", "LOCO - lossless video based on the LOCO-I algorithm"))
add(("MSZH", "LCL MSZH - Lossless Codec Library (MSZH compression)"))
add(("ZLIB", "LCL ZLIB - Lossless Codec Library (zlib compression)"))
add(("ZMBV", "Zip Motion Blocks Video - DOSBox screen capture codec"))
add(("CSCD", "CamStudio - lossless screen capture codec from CamStudio"))
add(("TSCC", "TechSmith Screen Capture - lossless screen video from Camtasia"))
add(("TSC2", "TechSmith Screen Codec 2 - screen video from Camtasia"))
add(("FPS1", "Fraps - lossless game capture codec from Beepa"))
add(("VBLE", "VBLE - Lossless video codec by Bastien Viktorinox"))
add(("YLC0", "YUY2 Lossless Codec - lossless YUV video"))
add(("xtor", "Dxtory - game capture codec from ExKode"))
add(("CLLC", "Canopus Lossless - lossless video from Canopus"))
add(("ZECO", "ZeroCodec - lossless video codec for game capture"))
add(("MSUD", "MSU Lossless - lossless video codec from Moscow State University"))
add(("MAGY", "MagicYUV - lossless video codec from Ignus"))
add(("MWSC", "MatchWare Screen Capture - screen video codec"))
add(("RSCC", "innoHeim Rsupport Screen Capture - screen video codec"))
add(("ISCC", "innoHeim Screen Capture - screen video codec (ISCC)"))
add(("SPV1", "Screenpresso - screen capture video codec from Learnpulse"))
add(("SCPR", "ScreenPressor - screen capture video codec from Alexander Ratushnyak"))
add(("FMVC", "FM Screen Capture - screen video codec from FM Software"))
add(("MSCC", "Mandsoft Screen Capture - screen video codec"))
add(("SRGC", "Screen Recorder Gold - screen video codec"))
add(("WCMV", "WinCAM Motion Video - screen capture codec from WinCAM"))
add(("RASC", "RemotelyAnywhere Screen Capture - screen video codec"))
add(("LSCR", "LEAD Screen Capture - screen video codec from LEAD Technologies"))
add(("ARBC", "Gryphon ARBC - screen video codec from Gryphon Software"))
add(("TDSC", "TDSC - Tag Desktop Screen Capture video codec"))
add(("G2M2", "GoToMeeting 2 - Citrix screen sharing video"))
add(("G2M3", "GoToMeeting 3 - Citrix screen sharing video"))
add(("G2M4", "GoToMeeting 4 - Citrix screen sharing video"))
add(("G2M5", "GoToMeeting 5 - Citrix screen sharing video"))
add(("VMnc", "VMware Screen Codec - screen recordings from VMware"))
add(("CFHD", "CineForm HD - GoPro and CineForm wavelet intermediate codec"))
add(("CUVC", "Canopus HQ - high-quality intermediate codec from Canopus"))
add(("CHQX", "Canopus HQX - high-quality intermediate codec from Canopus (HQX)"))
add(("FICV", "Mirillis FIC - game capture codec from Mirillis Action!"))
add(("BT20", "Brooktree Prosumer - video from Brooktree (Conexant) capture"))
add(("HYMT", "HuffYUV MT - multithreaded Huffyuv variant"))
add(("AVrp", "Avid 1:1 10-bit - Avid uncompressed 10-bit RGB video"))
add(("SUDS", "Avid 1:1 10-bit - Avid uncompressed video (SUDS tag)"))
add(("AVUI", "Avid Meridien - Avid uncompressed YUV with field order"))
add(("AVdn", "Avid DNxHD - Avid high-definition intermediate codec"))
add(("AVdh", "Avid DNxHR - Avid resolution-independent intermediate codec"))
add(("apch", "Apple ProRes 422 HQ - Apple intermediate codec at high quality"))
add(("apcn", "Apple ProRes 422 - Apple intermediate codec"))
add(("apcs", "Apple ProRes 422 LT - Apple intermediate codec at a lower rate"))
add(("apco", "Apple ProRes 422 Proxy - Apple intermediate codec for offline editing"))
add(("ap4h", "Apple ProRes 4444 - Apple intermediate codec with alpha"))
add(("ap4x", "Apple ProRes 4444 XQ - Apple intermediate codec at the highest rate"))
add(("icod", "Apple Intermediate Codec - for HDV and AVCHD editing"))
add(("pxlt", "Apple Pixlet - Apple wavelet codec"))
add(("DXD3", "Resolume DXV 3 - GPU-friendly video for VJ software"))
add(("DXDI", "Resolume DXV - GPU-friendly video for VJ software (DXDI)"))
add(("nlc1", "NotchLC - GPU-friendly intermediate codec from Notch"))
add(("nclc", "NotchLC - GPU-friendly intermediate codec from Notch (QuickTime tag)"))
add(("Hap1", "Hap - Vidvox GPU-decoded video codec"))
add(("Hap5", "Hap Alpha - Vidvox GPU-decoded video codec with transparency"))
add(("HapY", "Hap Q - Vidvox GPU-decoded video codec at higher quality"))
add(("HapM", "Hap Q Alpha - Vidvox GPU-decoded video with quality and transparency"))
add(("HapA", "Hap Alpha-only - Vidvox GPU-decoded transparency channel"))
add(("Shr*", "SheerVideo - BitJazz lossless and near-lossless video codec"))
add(("M101", "Matrox uncompressed SD - Matrox 8-bit and 10-bit YUV video"))
add(("M102", "Matrox uncompressed HD - Matrox 8-bit and 10-bit YUV video"))
add(("ASLC", "AlparySoft Lossless - lossless video codec from AlparySoft"))
add(("MHFY", "mhuffyuv - Huffyuv derived lossless video codec"))
add(("WZCD", "CORE iScan - video codec from CORE Co"))
add(("WZDC", "CORE iSnap - video codec from CORE Co"))
add(("WRPR", "VideoTools VideoServer - client codec of the VideoServer frame server"))
add(("LZO1", "LZO - lossless video packed with the LZO algorithm"))
add(("MCZM", "Theory MicroCosm - lossless 64-bit RGB with alpha"))
add(("MSUC", "MSU video codec - from the Moscow State University graphics lab"))
add(("CGDI", "Microsoft Camcorder - screen recordings from Office 97 Camcorder"))
add(("DFSC", "DebugMode FrameServer - frames served from an editing program"))
add(("VIFP", "VFAPI - frames served through the VFAPI plug-in interface"))
add(("AVIS", "AviSynth - frames served by an AviSynth script"))
add(("VDST", "VirtualDub frame server - frames served from VirtualDub"))
add(("RTV1", "RivaTuner Video - game capture codec of RivaTuner and MSI Afterburner"))
add(("VMX1", "vMix Video - intra-frame codec of the vMix live production software"))

# Ut Video (Takeshi Umezawa): lossless, one code per colour layout and variant.
UT_LAYOUTS = {"RA": "RGBA", "RG": "RGB", "Y0": "YUV 4:2:0", "Y2": "YUV 4:2:2",
              "Y4": "YUV 4:4:4", "H0": "YUV 4:2:0 BT.709", "H2": "YUV 4:2:2 BT.709",
              "H4": "YUV 4:4:4 BT.709"}
UT_KINDS = {"L": "", "Q": "10-bit ", "M": "Pro "}
for code in ["ULRA", "ULRG", "ULY0", "ULY2", "ULY4", "ULH0", "ULH2", "ULH4", "UQY0", "UQY2",
             "UQRA", "UQRG", "UMY2", "UMH2", "UMY4", "UMH4", "UMRA", "UMRG"]:
    add((code, f"Ut Video {UT_KINDS[code[1]]}{UT_LAYOUTS[code[2:]]} - "
               "Takeshi Umezawa's lossless video codec"))

# MagicYUV (Ignus): lossless, one code per bit depth and layout.
MAGIC_DEPTH = {"8": "8-bit", "0": "10-bit", "2": "12-bit", "4": "14-bit"}
MAGIC_LAYOUT = {"RG": "RGB", "RA": "RGBA", "G0": "greyscale", "Y0": "YUV 4:2:0",
                "Y2": "YUV 4:2:2", "Y4": "YUV 4:4:4", "YA": "YUVA 4:4:4", "R0": "RGB"}
for code in ["M8RG", "M8RA", "M8G0", "M8Y0", "M8Y2", "M8Y4", "M8YA", "M0RA", "M0RG",
             "M0G0", "M0Y0", "M0Y2", "M0Y4", "M2RA", "M2RG", "M0R0", "M4RA", "M4RG"]:
    add((code, f"MagicYUV {MAGIC_DEPTH[code[1]]} {MAGIC_LAYOUT[code[2:]]} - "
               "Ignus lossless video codec"))

# SpeedHQ (NewTek): intra-frame codec of NDI; the digit names the chroma and alpha layout.
for code, layout in [("SHQ0", "4:2:0"), ("SHQ1", "4:2:0 with alpha"), ("SHQ2", "4:2:2"),
                     ("SHQ3", "4:2:2 with alpha"), ("SHQ4", "4:4:4"),
                     ("SHQ5", "4:4:4 with alpha"), ("SHQ7", "4:2:2 with alpha (variant)"),
                     ("SHQ9", "4:4:4 with alpha (variant)")]:
    add((code, f"NewTek SpeedHQ {layout} - intra-frame video of NDI and TriCaster"))

# AGM (Amuse Graphics): eight variants of one codec.
for digit in "01234567":
    add((f"AGM{digit}", f"Amuse Graphics AGM{digit} - video codec from Amuse Graphics"))

# --- Game, multimedia and early PC codecs ----------------------------------------------
add(("cvid", "Cinepak - SuperMac / Radius vector-quantising codec of the CD-ROM era"))
add(("MSVC", "Microsoft Video 1 - simple block codec shipped with Video for Windows"))
add(("CRAM", "Microsoft Video 1 - under its early CRAM tag"))
add(("WHAM", "Microsoft Video 1 - under the WHAM tag"))
add(("mrle", "Microsoft RLE - run-length coded 4-bit and 8-bit palette video"))
add(("WRLE", "Microsoft RLE - run-length coded video (QuickTime tag)"))
add(("RLE ", "Run-length coded video - Windows bitmap RLE frames; in lower case Apple Animation (QuickTime)"))
add(("RLE4", "Run-length coded 4-bit palette video - Windows bitmap RLE frames"))
add(("RLE8", "Run-length coded 8-bit palette video - Windows bitmap RLE frames"))
add(("rle1", "SGI RLE - Silicon Graphics run-length video"))
add(("smc ", "Apple Graphics - QuickTime 8-bit palette codec"))
add(("rpza", "Apple Video - QuickTime road pizza codec"))
add(("azpr", "Apple Video - QuickTime road pizza codec (byte-swapped tag)"))
add(("qdrw", "Apple QuickDraw - QuickTime picture codec"))
add(("svq1", "Sorenson Video 1 - Sorenson Media codec of early QuickTime"))
add(("svqi", "Sorenson Video 1 - Sorenson Media codec (svqi tag)"))
add(("SVQ3", "Sorenson Video 3 - Sorenson Media codec based on an H.264 draft"))
add(("SV10", "Sorenson Video R1 - Sorenson Media codec"))
add(("IV31", "Intel Indeo Video 3.1 - Intel vector-quantising codec"))
add(("IV32", "Intel Indeo Video 3.2 - Intel vector-quantising codec"))
add(("IV41", "Intel Indeo Video 4.1 - Intel wavelet-hybrid codec (Ligos)"))
add(("IV50", "Intel Indeo Video 5 - Intel wavelet codec (Ligos)"))
add(("IV3*", "Intel Indeo Video 3 - Intel vector-quantising codec"))
add(("IV4*", "Intel Indeo Video 4 - Intel wavelet-hybrid codec"))
add(("IV5*", "Intel Indeo Video 5 - Intel wavelet codec"))
add(("RT21", "Intel Indeo Video 2.1 - Intel Real-Time Video 2.1"))
add(("IR21", "Intel Indeo Video 2.1 - Intel codec (IR21 tag)"))
add(("IRAW", "Intel uncompressed YUV - raw frames from Intel capture"))
add(("ILVC", "Intel layered video - scalable Intel codec"))
add(("ILVR", "ITU-T H.263+ - Intel layered H.263+ codec"))
add(("IAN ", "Intel RDX - Indeo 4 based codec for Intel RDX"))
add(("RVX ", "Intel RDX - Intel real-time video codec"))
add(("ANIM", "Intel RDX - Intel animation codec"))
add(("VP30", "On2 VP3 - On2 Technologies codec (later open as Theora)"))
add(("VP31", "On2 VP3.1 - On2 Technologies codec (later open as Theora)"))
add(("VP40", "On2 VP4 - On2 Technologies codec"))
add(("VP50", "On2 VP5 - On2 Technologies codec"))
add(("VP60", "On2 VP6 - On2 Technologies codec (simple profile)"))
add(("VP61", "On2 VP6.1 - On2 Technologies codec"))
add(("VP62", "On2 VP6.2 - On2 Technologies codec (heightened sharpness)"))
add(("VP6A", "On2 VP6 with alpha - Flash video with transparency"))
add(("VP6F", "On2 VP6 Flash - Flash video flipped for Macromedia Flash"))
add(("FLV4", "On2 VP6 Flash - Flash video (FLV4 tag)"))
add(("VP70", "On2 VP7 - On2 Technologies codec"))
add(("VP71", "On2 VP7 - On2 Technologies codec (VP71 tag)"))
add(("VP80", "VP8 - Google open video codec of WebM"))
add(("vp08", "VP8 - Google open video codec (QuickTime name)"))
add(("VP90", "VP9 - Google open video codec of WebM"))
add(("vp09", "VP9 - Google open video codec (QuickTime name)"))
add(("AV01", "AV1 - Alliance for Open Media royalty-free video codec"))
add(("theo", "Theora - Xiph.Org open video codec derived from VP3"))
add(("drac", "Dirac - BBC open wavelet video codec"))
add(("DUCK", "Duck TrueMotion 1 - Duck Corporation codec of 1990s games"))
add(("PVEZ", "Horizons PowerEZ - Duck TrueMotion 1 variant"))
add(("TM20", "Duck TrueMotion 2 - Duck Corporation codec"))
add(("TR20", "Duck TrueMotion RT - real-time TrueMotion 2 variant"))
add(("TM2X", "Duck TrueMotion 2X - Duck Corporation codec"))
add(("ASV1", "ASUS Video 1 - codec of ASUS graphics cards"))
add(("ASV2", "ASUS Video 2 - codec of ASUS graphics cards"))
add(("VCR1", "ATI VCR 1 - codec of ATI capture cards"))
add(("Xxan", "Xan Wing Commander IV - game video from Origin Systems"))
add(("LM20", "Mimic - MSN Messenger webcam codec from Microsoft"))
add(("SNOW", "Snow - FFmpeg's experimental wavelet codec"))
add(("4XMV", "4X Movie - game video from 4X Technologies"))
add(("FLV1", "Sorenson Spark - H.263 variant of Flash video"))
add(("FSV1", "Flash Screen Video - Macromedia screen sharing codec"))
add(("ULTI", "IBM UltiMotion - IBM codec of OS/2 and Windows"))
add(("VIXL", "Miro VideoXL - codec of Miro and Pinnacle capture cards"))
add(("PIXL", "Pinnacle VideoXL - codec of Miro and Pinnacle capture cards (PIXL)"))
add(("QPEG", "Q-Team QPEG - palette video codec from Q-Team"))
add(("Q1.0", "Q-Team QPEG 1.0 - palette video codec from Q-Team"))
add(("Q1.1", "Q-Team QPEG 1.1 - palette video codec from Q-Team"))
add(("WNV1", "Winnov Videum - hardware codec of Winnov capture cards"))
add(("YUV8", "Winnov Videum - Winnov YUV codec (YUV8 tag)"))
add(("WINX", "Winnov Videum - Winnov software codec"))
add(("CHAM", "Winnov Caviara Champagne - Winnov capture codec"))
add(("AASC", "Autodesk Animator - run-length codec from Autodesk"))
add(("AAS4", "Autodesk Animator 24-bit - run-length codec from Autodesk"))
add(("AFLC", "Autodesk FLIC - Autodesk Animator animation"))
add(("flic", "Autodesk FLIC - Autodesk Animator animation (QuickTime tag)"))
add(("KMVC", "Karl Morton's Video Codec - game video codec"))
add(("CAVS", "AVS - Chinese Audio Video Standard video"))
add(("AVS2", "AVS2 - second Chinese Audio Video Standard video"))
add(("CLJR", "Cirrus Logic AccuPak - YUV codec of Cirrus Logic chips"))
add(("SP5X", "SunPlus JPEG - Motion JPEG from SunPlus webcam chips (SP5X)"))
add(("AURA", "Auravision Aura - YUV codec of Auravision capture cards"))
add(("AUR2", "Auravision Aura 2 - YUV codec of Auravision capture cards"))
add(("KGV1", "Kega Game Video - game capture codec of the Kega emulator"))
add(("AMVF", "AMV - video of cheap portable media players"))
add(("E130", "Escape 130 - game video from Eidos"))
add(("ESCP", "Eidos Escape - game video from Eidos"))
add(("Y41P", "Brooktree YUV 4:1:1 - packed 12-bit YUV from Brooktree chips"))
add(("012v", "Uncompressed 4:2:2 10-bit - packed YUV (012v)"))
add(("a12v", "Uncompressed 4:2:2 10-bit - packed YUV (a12v)"))
add(("RV40", "RealVideo 4 - RealNetworks codec"))
add(("RV10", "RealVideo 1 - RealNetworks H.263 based codec"))
add(("RV20", "RealVideo 2 - RealNetworks H.263 based codec"))
add(("RV30", "RealVideo 3 - RealNetworks codec"))
add(("UCOD", "ClearVideo - eMotion Iterated Systems fractal codec"))
add(("FVF1", "Iterated Systems Fractal Video Frame - fractal codec"))
add(("IMM4", "Infinity IMM4 - surveillance video codec"))
add(("IMM5", "Infinity IMM5 - H.264 based surveillance video codec"))
add(("MVDV", "MidiVid - game video codec from MidiVid"))
add(("MVHA", "MidiVid Archive - lossless game video codec from MidiVid"))
add(("MV30", "MidiVid 3.0 - game video codec from MidiVid"))
add(("LEAD", "LEAD video - LEAD Technologies codec"))
add(("VDOW", "VDOWave - VDOnet wavelet codec for internet video"))
add(("VDOM", "VDOWave - VDOnet wavelet codec (VDOM)"))
add(("XLV0", "NetXL video - NetXL Inc codec"))
add(("VQC1", "Vector Quantised Codec 1 - Vector Quantisation codec"))
add(("VQC2", "Vector Quantised Codec 2 - Vector Quantisation codec"))
add(("GLZW", "Motion LZW - lossless LZW video codec"))
add(("PVW2", "Pegasus Wavelet 2 - wavelet codec from Pegasus Imaging"))
add(("DXT1", "DirectX texture compression 1 - S3TC compressed frames"))
add(("DXT3", "DirectX texture compression 3 - S3TC compressed frames with alpha"))
add(("DXT5", "DirectX texture compression 5 - S3TC compressed frames with smooth alpha"))
add(("DVE2", "InSoft DVE-2 - video-conferencing codec"))
add(("DVX1", "Lucent DVX1000SP - video codec from Lucent"))
add(("QkBk", "CDToons - animation codec from Broderbund CD titles"))
add(("RV60", "RealVideo 6 - RealNetworks codec of RealMedia HD"))
add(("BINK", "Bink Video - RAD Game Tools codec of many games"))
add(("SANM", "LucasArts SMUSH - game video of LucasArts titles (SANM)"))
add(("ROQV", "id RoQ - game video of id Software titles"))
add(("AFLI", "Autodesk FLI - Autodesk Animator animation (320 x 200)"))
add(("TM2A", "Duck TrueMotion Archiver 2 - Duck Corporation codec"))
add(("TMOT", "Horizons TrueMotion S - Duck TrueMotion variant"))
add(("VP32", "On2 VP3 - On2 Technologies codec (VP32 tag)"))
add(("VP72", "On2 VP7 - On2 Technologies codec (VP72 tag)"))
add(("VCR*", "ATI VCR - codec of ATI capture cards"))
add(("ASVX", "ASUS Video - codec of ASUS graphics cards (ASVX)"))
add(("DVX2", "Lucent DVX2000S - video codec from Lucent"))
add(("ICLB", "InSoft CellB - video-conferencing codec from InSoft"))
add(("DCL1", "Data Connection conferencing codec - from Data Connection Ltd"))
add(("CTRX", "Citrix scalable video - codec from Citrix Systems"))
add(("ACTL", "Streambox ACT-L2 - streaming video codec from Streambox"))
add(("ADV1", "Loronix WaveCodec - wavelet video from Loronix surveillance"))
add(("BW00", "BergWave - wavelet video codec"))
add(("PVWV", "Pegasus Wavelet 2000 - wavelet codec from Pegasus Imaging"))
add(("RUD0", "Rududu - wavelet video codec"))
add(("SMSV", "WorldConnect Wavelet Video - wavelet codec"))
add(("WVLT", "IllusionHope Wavelet - 9/7 wavelet video codec"))
add(("VCWV", "VideoCon wavelet - wavelet video codec from VideoCon"))
add(("IDM0", "IDM Motion Wavelets - wavelet video codec from IDM"))
add(("XWV*", "XiWave - video codec from XiWave"))
add(("VSSV", "VSS Video - Vanguard Software Solutions codec"))
add(("VSSW", "VSS Wavelet - Vanguard Software Solutions wavelet codec"))
add(("ETV1", "eTreppid Video - video codec from eTreppid Technologies"))
add(("ETV2", "eTreppid Video 2 - video codec from eTreppid Technologies"))
add(("ETVC", "eTreppid Video - video codec from eTreppid Technologies (ETVC)"))
add(("LSVC", "Infinop Lightning Strike - streaming video codec at a constant rate"))
add(("LSVX", "Infinop Lightning Strike - streaming video codec at several rates"))
add(("LSVW", "Infinop Lightning Strike - streaming video codec (LSVW)"))
add(("LSV0", "Infinop Lightning Strike - streaming video codec (LSV0)"))
add(("LCMW", "LEAD Motion CMW - wavelet video from LEAD Technologies"))
add(("LCW2", "LEAD Motion CMW 2 - wavelet video from LEAD Technologies"))
add(("MRCA", "FAST Multimedia MR - codec of FAST capture cards"))
add(("MNVD", "MindBend MindVid - video codec from MindBend"))
add(("MVI1", "Motion Pixels MVI - video codec from Motion Pixels"))
add(("MVI2", "Motion Pixels MVI - video codec from Motion Pixels (MVI2)"))
add(("MV12", "Motion Pixels - older video codec from Motion Pixels"))
add(("NUV1", "NuppelVideo - video of the NuppelVideo and MythTV recorders"))
add(("NTN1", "Nogatech Video Compression 1 - codec of Nogatech USB capture chips"))
add(("NTN2", "Nogatech Video Compression 2 - codec of Nogatech USB capture chips"))
add(("PCLE", "Pinnacle Studio 400 - codec of Pinnacle capture hardware"))
add(("PGVV", "Radius VideoVision - codec of Radius capture cards"))
add(("SPIG", "Radius Spigot - codec of Radius and SuperMac capture cards"))
add(("PHMO", "IBM Photomotion - IBM video codec"))
add(("QPEQ", "Q-Team QPEG 1.1 - palette video codec from Q-Team (QPEQ)"))
add(("RTV0", "NewTek Video Toaster - codec of NewTek editing systems"))
add(("NT00", "NewTek LightWave - HDTV YUV video with alpha from NewTek"))
add(("SFMC", "CrystalNet Surface Fitting Method - video codec from CrystalNet"))
add(("SDCC", "Sun Digital Camera - video codec from Sun Microsystems"))
add(("MTX*", "Matrox video - codec of Matrox capture and editing hardware"))
add(("SMSC", "Radius - proprietary codec of Radius hardware (SMSC)"))
add(("SMSD", "Radius - proprietary codec of Radius hardware (SMSD)"))
add(("DCT0", "WniWni - video codec from WniWni (DCT0)"))
add(("WNIX", "WniWni - video codec from WniWni"))
add(("IMAC", "Intel motion compensation - format of Intel graphics hardware"))
add(("VYU9", "ATI YUV - YUV video from ATI graphics chips (VYU9)"))
add(("VR21", "Blackmagic YUV - YUV video from Blackmagic Design hardware"))
add(("IF09", "Intel YVU9 with skip bits - Intel intermediate YUV of the Indeo era"))
add(("IFO9", "Intel YVU9 with skip bits - Intel intermediate YUV (IFO9 tag)"))
add(("TLMS", "TeraLogic Motion Intraframe - codec from TeraLogic"))
add(("TLST", "TeraLogic Motion Intraframe - codec from TeraLogic (TLST)"))
add(("TMIC", "TeraLogic Motion Intraframe - codec from TeraLogic (TMIC)"))
add(("TV10", "Tecomac - low bit rate video codec from Tecomac"))
add(("TY0N", "Trident video - codec of Trident Microsystems chips"))
add(("TY2C", "Trident video - codec of Trident Microsystems chips (TY2C)"))
add(("TY2N", "Trident video - codec of Trident Microsystems chips (TY2N)"))
add(("VGPX", "Alaris VideoGramPiX - video codec from Alaris"))
add(("VTLP", "Alaris VideoGramPiX - video codec from Alaris (VTLP)"))
add(("VLV1", "VideoLogic VLCAP - capture codec of VideoLogic cards"))
add(("WBVC", "Winbond W9960 - codec of Winbond capture chips"))
add(("WNVA", "Winnov Videum - Winnov hardware compression (WNVA)"))
add(("BHIV", "BeHere iVideo - panoramic video from BeHere"))
add(("HMCR", "Rendition motion compensation - format of Rendition Verite chips"))
add(("HMRR", "Rendition motion compensation - format of Rendition V2x00 chips"))
add(("MC12", "ATI motion compensation - format of ATI graphics chips"))
add(("EKQ0", "ELSA quick codec - codec of ELSA graphics cards"))
add(("ELK0", "ELSA codec - codec of ELSA graphics cards"))
add(("EQK0", "ELSA quick codec - codec of ELSA graphics cards (EQK0)"))
add(("BTCV", "Brooktree composite video - codec of Brooktree (Conexant) capture chips"))
add(("BTVC", "Brooktree composite video - codec of Brooktree (Conexant) capture (BTVC)"))
add(("YC12", "Intel YUV12 - YUV video codec from Intel"))
add(("CC12", "Intel YUV12 - YUV video codec from Intel (CC12)"))
add(("YV92", "Intel Smart Video Recorder - YVU9 based video from Intel"))
add(("DXT2", "DirectX texture compression 2 - S3TC frames with premultiplied alpha"))
add(("DXT4", "DirectX texture compression 4 - S3TC frames with premultiplied smooth alpha"))
add(("DXTC", "DirectX texture compression - S3TC compressed frames"))
add(("DXTn", "DirectX texture compression - S3TC compressed frames (DXTn)"))
add(("FXT1", "3dfx FXT1 - texture compression of 3dfx graphics chips"))
add(("NVDS", "NVIDIA texture format - compressed frames for NVIDIA graphics chips"))
add(("NVHS", "NVIDIA texture format - compressed frames for NVIDIA GeForce chips"))
add(("NVHU", "NVIDIA texture format - compressed frames for NVIDIA GeForce chips (NVHU)"))
add(("NHVU", "NVIDIA texture format - compressed frames for NVIDIA GeForce chips (NHVU)"))
add(("NVS*", "NVIDIA texture format - compressed frames for NVIDIA GeForce chips"))
add(("NVT*", "NVIDIA texture format - compressed frames for NVIDIA GeForce chips"))
add(("RIVA", "NVIDIA swizzled texture - frames in NVIDIA RIVA texture layout"))
add(("STV*", "STMicroelectronics CMOS imager - raw sensor data from ST webcam chips"))

# --- Still-picture codecs used for video -----------------------------------------------
add(("MPNG", "Motion PNG - every frame a PNG picture"))
add(("PNG1", "Corecodec PNG - every frame a PNG picture"))
add(("png ", "PNG - every frame a PNG picture (ImageJ tag)"))
add(("MNG ", "PNG - QuickTime tag for PNG frames"))
add(("tga ", "TARGA - every frame a Truevision TARGA picture"))
add(("dpx ", "DPX - every frame a SMPTE Digital Picture Exchange picture"))
add(("exr ", "OpenEXR - every frame an ILM OpenEXR picture"))
add(("tiff", "TIFF - every frame a TIFF picture"))
add(("gif ", "GIF - every frame a GIF picture"))
add(("sgi ", "SGI - every frame a Silicon Graphics picture"))
add(("8BPS", "Planar RGB - QuickTime 8BPS run-length codec"))
add(("MTGA", "Motion TGA - every frame a Truevision TARGA picture"))
add((" PNG", "PNG - every frame a PNG picture (space-led tag)"))
add(("kpcd", "Kodak Photo CD - every frame a Photo CD picture"))
add(("QDGX", "Apple QuickDraw GX - QuickTime picture codec"))
add(("LGRY", "LEAD greyscale - greyscale pictures from LEAD Technologies"))

# --- Uncompressed video ----------------------------------------------------------------
extend([
    ("DIB ", "Uncompressed RGB - device-independent bitmap frames (no codec)"),
    ("RGB ", "Uncompressed RGB - raw bitmap frames (no codec)"),
    ("RAW ", "Uncompressed - raw frames (no codec); in lower case QuickTime raw RGB"),
    ("RGBT", "Uncompressed RGB with transparency - 32-bit raw frames"),
    ("RGBA", "Uncompressed RGBA - 32-bit raw frames with alpha"),
    raw("RGB2", "RGB"),
    raw("RV15", "RGB 5:5:5 (15-bit)"),
    raw("RV16", "RGB 5:6:5 (16-bit)"),
    raw("RV24", "RGB 24-bit"),
    raw("RV32", "RGB 32-bit"),
    raw("AV32", "ARGB 32-bit"),
    raw("ABGR", "ABGR 32-bit"),
    raw("BGRA", "BGRA 32-bit"),
    raw("24BG", "BGR 24-bit"),
    raw("B565", "RGB 5:6:5 big-endian"),
    raw("L555", "RGB 5:5:5 little-endian"),
    raw("L565", "RGB 5:6:5 little-endian"),
    raw("b16g", "16-bit greyscale"),
    raw("b48r", "RGB 48-bit"),
    raw("b64a", "ARGB 64-bit"),
    raw("BGGR", "Bayer BGGR sensor data"),
    raw("bxbg", "BGR 8-bit per channel (bxbg)"),
    raw("bxrg", "RGB 8-bit per channel (bxrg)"),
    raw("bxyv", "YUV 4:2:2 (bxyv)"),
    raw("GREY", "8-bit greyscale"),
    raw("Y800", "8-bit greyscale (Y800)"),
    raw("Y8  ", "8-bit greyscale (Y8)"),
    raw("NO16", "16-bit greyscale (NO16)"),
    raw("I420", "YUV 4:2:0 planar (I420)"),
    raw("IYUV", "YUV 4:2:0 planar (IYUV)"),
    raw("YV12", "YVU 4:2:0 planar (YV12)"),
    raw("NV12", "YUV 4:2:0 with interleaved chroma (NV12)"),
    raw("NV21", "YVU 4:2:0 with interleaved chroma (NV21)"),
    raw("YUY2", "YUV 4:2:2 packed (YUY2)"),
    raw("YUYV", "YUV 4:2:2 packed (YUYV)"),
    raw("YUNV", "YUV 4:2:2 packed (YUNV)"),
    raw("V422", "YUV 4:2:2 packed (V422)"),
    raw("Y422", "YUV 4:2:2 packed (Y422)"),
    raw("yuvs", "YUV 4:2:2 packed (QuickTime yuvs)"),
    raw("YVYU", "YVU 4:2:2 packed (YVYU)"),
    raw("UYVY", "YUV 4:2:2 packed (UYVY)"),
    raw("UYNV", "YUV 4:2:2 packed (UYNV)"),
    raw("UYNY", "YUV 4:2:2 packed (UYNY)"),
    raw("uyv1", "YUV 4:2:2 packed (uyv1)"),
    raw("2Vu1", "YUV 4:2:2 packed (2Vu1)"),
    raw("2vuy", "YUV 4:2:2 packed (QuickTime 2vuy)"),
    raw("HDYC", "YUV 4:2:2 packed BT.709 (HDYC)"),
    raw("AVup", "YUV 4:2:2 packed (Avid AVup)"),
    raw("DVOO", "YUV 4:2:2 packed (DVOO)"),
    raw("auv2", "YUVA 4:2:2 packed (auv2)"),
    raw("VYUY", "YUV 4:2:2 packed (VYUY)"),
    raw("yuv2", "YUV 4:2:2 packed signed (yuv2)"),
    raw("P422", "YUV 4:2:2 planar (P422)"),
    raw("YV16", "YVU 4:2:2 planar (YV16)"),
    raw("Y42B", "YUV 4:2:2 planar (Y42B)"),
    raw("YV24", "YVU 4:4:4 planar (YV24)"),
    raw("Y411", "YUV 4:1:1 packed (Y411)"),
    raw("Y41B", "YUV 4:1:1 planar (Y41B)"),
    raw("R411", "YUV 4:1:1 (R411)"),
    raw("R420", "YUV 4:2:0 (R420)"),
    raw("YVU9", "YVU 4:1:0 planar (YVU9)"),
    raw("YUV9", "YUV 4:1:0 planar (YUV9)"),
    raw("VDTZ", "YUV 4:2:2 from SoftLab-NSK VideoTizer"),
    raw("WRAW", "RGB palette frames (WRAW)"),
    raw("AV1x", "YUV 4:2:2 packed (Avid AV1x)"),
    ("AYUV", "Uncompressed AYUV 4:4:4 - packed YUV with alpha (Microsoft)"),
    ("v308", "Uncompressed 4:4:4 8-bit - packed YUV (v308)"),
    ("v408", "Uncompressed 4:4:4:4 8-bit - packed YUVA (v408)"),
    ("v410", "Uncompressed 4:4:4 10-bit - packed YUV (v410)"),
    ("v210", "Uncompressed 4:2:2 10-bit - packed YUV as used by Blackmagic and AJA"),
    ("C210", "Uncompressed 4:2:2 10-bit - packed YUV (C210 variant of v210)"),
    ("bxy2", "Uncompressed 4:2:2 10-bit - packed YUV (bxy2)"),
    ("r210", "Uncompressed RGB 10-bit - packed RGB (r210)"),
    ("R10k", "AJA Kona 10-bit RGB - uncompressed packed RGB"),
    ("R10g", "AJA Kona 10-bit RGB - uncompressed packed RGB (R10g)"),
    ("Y216", "Uncompressed 4:2:2 16-bit - packed YUV (Y216)"),
    ("yuv4", "Uncompressed YUV 4:2:0 - packed 4:2:0 (yuv4)"),
    ("CYUV", "Creative YUV - Creative Labs packed YUV codec"),
    ("FRWU", "SoftLab-NSK Forward uncompressed - raw YUV from Forward boards"),
    ("Y41T", "Brooktree YUV 4:1:1 with transparency - packed raw frames"),
    ("Y42T", "Brooktree YUV 4:2:2 with transparency - packed raw frames"),
    ("IY41", "Uncompressed YUV 4:1:1 - packed (IY41)"),
    ("IYU1", "Uncompressed YUV 4:1:1 - IEEE 1394 packed (IYU1)"),
    ("IYU2", "Uncompressed YUV 4:4:4 - IEEE 1394 packed (IYU2)"),
    ("Y211", "Uncompressed YUV 2:1:1 - packed raw frames"),
    ("CYUY", "ATI uncompressed YUV - packed raw frames"),
    ("V655", "Vitec uncompressed YUV 4:2:2 - packed raw frames"),
])
# Windows bitmap compression names, sometimes written as the handler code with a space.
extend([
    (" RGB", "Uncompressed RGB - raw bitmap frames (space-led tag)"),
    (" RAW", "Uncompressed - raw frames (space-led tag)"),
    (" BIT", "Uncompressed RGB with bit-field masks (space-led tag)"),
    ("BIT ", "Uncompressed RGB with bit-field masks"),
    (" RL4", "Run-length coded 4-bit palette video (space-led tag)"),
    ("RL4 ", "Run-length coded 4-bit palette video - Windows bitmap RLE frames"),
    (" RL8", "Run-length coded 8-bit palette video (space-led tag)"),
    ("RL8 ", "Run-length coded 8-bit palette video - Windows bitmap RLE frames"),
])
extend([
    raw("BGR ", "BGR"),
    raw("RGB1", "RGB 3:3:2 (8-bit)"),
    raw("RGBO", "RGB 5:5:5 (RGBO)"),
    raw("RGBP", "RGB 5:6:5 (RGBP)"),
    raw("RGBQ", "RGB 5:5:5 big-endian (RGBQ)"),
    raw("RGBR", "RGB 5:6:5 big-endian (RGBR)"),
    raw("CMYK", "CMYK"),
    raw("YCCK", "YCbCr and black (YCCK)"),
    raw("Y210", "YUV 4:2:2 10-bit in 16-bit words (Y210)"),
    raw("Y410", "YUVA 4:4:4 10-bit packed (Y410)"),
    raw("Y416", "YUVA 4:4:4 16-bit packed (Y416)"),
    raw("y408", "YUVA 4:4:4 8-bit packed (y408)"),
    raw("Y444", "YUV 4:4:4 (Y444)"),
    raw("YU12", "YUV 4:2:0 planar (YU12)"),
    raw("IMC1", "YUV 4:2:0 planar (IMC1)"),
    raw("IMC2", "YUV 4:2:0 planar (IMC2)"),
    raw("IMC3", "YUV 4:2:0 planar (IMC3)"),
    raw("IMC4", "YUV 4:2:0 planar (IMC4)"),
    raw("CLPL", "YUV 4:2:0 planar (CLPL)"),
    raw("CPLA", "YUV 4:2:0 planar (Weitek CPLA)"),
    raw("T420", "YUV 4:2:0 (Toshiba T420)"),
    raw("NY12", "YUV 4:2:0 (Nogatech NY12)"),
    raw("NYUV", "YUV 4:2:2 (Nogatech NYUV)"),
    raw("S422", "YUV 4:2:2 (Tekram S422)"),
    raw("VIDS", "YUV 4:2:2 (Vitec VIDS)"),
    raw("IUYV", "YUV 4:2:2 packed UYVY with interlaced line order (IUYV)"),
    raw("UYVP", "YUV 4:2:2 10-bit packed (UYVP)"),
    raw("YUVP", "YUV 4:2:2 10-bit packed (YUVP)"),
    raw("U<Y ", "YUV 4:2:2 from Discreet editing systems"),
    raw("U<YA", "YUVA 4:2:2 from Discreet editing systems"),
    raw("MYUV", "YUV from Media 100 editing systems (MYUV)"),
    raw("UYVU", "YUV from SoftLab-NSK Forward boards (UYVU)"),
    raw("VDCT", "bitmap frames from Vitec Video Maker Pro"),
])
# DPCM coded YUV: the digits name the chroma layout and the bits per difference.
for code, layout, bits in [("DP16", "YUV 4:1:1", 6), ("DP18", "YUV 4:2:0", 6),
                           ("DP26", "YUV 4:2:2", 6), ("DP28", "YUV 4:2:0", 8),
                           ("DP96", "YVU9", 6), ("DP98", "YVU9", 8),
                           ("DP9L", "YVU9 with thinned lines", 6)]:
    add((code, f"DPCM coded {layout} - {bits}-bit differences between pixels"))

# Planar YUV with more than eight bits, from FFmpeg's own naming: I/J = planes,
# digits = chroma layout, last letter L/B = little/big endian.
HIGH_DEPTH_LAYOUT = {"0": "4:2:0", "2": "4:2:2", "4": "4:4:4"}
HIGH_DEPTH_BITS = {"9": "9-bit", "A": "10-bit", "C": "12-bit", "F": "16-bit"}
for code in ["I09L", "I09B", "I29L", "I29B", "I49L", "I49B", "I0AL", "I0AB", "I2AL",
             "I2AB", "I4AL", "I4AB", "I4FL", "I4FB", "I0CL", "I0CB", "I2CL", "I2CB",
             "I4CL", "I4CB", "I0FL", "I0FB"]:
    endian = "little-endian" if code[3] == "L" else "big-endian"
    add(raw(code, f"YUV {HIGH_DEPTH_LAYOUT[code[1]]} planar {HIGH_DEPTH_BITS[code[2]]} {endian}"))
extend([
    raw("I410", "YUV 4:1:0 planar (I410)"),
    raw("I411", "YUV 4:1:1 planar (I411)"),
    raw("I422", "YUV 4:2:2 planar (I422)"),
    raw("I440", "YUV 4:4:0 planar (I440)"),
    raw("I444", "YUV 4:4:4 planar (I444)"),
    raw("J420", "YUV 4:2:0 planar full range (J420)"),
    raw("J422", "YUV 4:2:2 planar full range (J422)"),
    raw("J440", "YUV 4:4:0 planar full range (J440)"),
    raw("J444", "YUV 4:4:4 planar full range (J444)"),
    raw("YUVA", "YUVA 4:2:0 planar with alpha (YUVA)"),
    raw("I40A", "YUVA 4:2:0 planar with alpha (I40A)"),
    raw("I42A", "YUVA 4:2:2 planar with alpha (I42A)"),
])

# --- Codes made of control bytes (numeric tags) ----------------------------------------
extend([
    ("\x00\x00\x00\x00", "Uncompressed RGB - bitmap frames with no handler code"),
    ("\x01\x00\x00\x00", "Microsoft RLE 8-bit - run-length palette video by number"),
    ("\x02\x00\x00\x00", "Microsoft RLE 4-bit - run-length palette video by number"),
    ("\x03\x00\x00\x00", "Uncompressed RGB with bit-field masks - by number"),
    ("\x04\x00\x00\x00", "MPEG-4 Visual video under a numeric tag some faulty files use"),
    ("\x01\x00\x00\x10", "MPEG-1 video under a numeric DirectShow tag"),
    ("\x02\x00\x00\x10", "MPEG-2 video under a numeric DirectShow tag"),
    ("\x04\x00\x00\x10", "MPEG-4 Visual video under a numeric DirectShow tag"),
])


# The codes met most often in AVI files (our judgment: the MPEG-4 and H.264 of the
# download era and of FFmpeg, webcams' and cameras' Motion JPEG and DV, uncompressed
# captures, and the codecs Windows shipped with), written first in this order.
MOST_MET = [
    "XVID", "DIVX", "DX50", "FMP4", "H264", "MJPG", "\x00\x00\x00\x00", "DIB ", "dvsd",
    "DIV3", "MP43", "MP42", "avc1", "X264", "YUY2", "UYVY", "I420", "YV12", "cvid", "IV50",
    "IV41", "IV32", "MSVC", "CRAM", "mrle", "\x01\x00\x00\x00", "HFYU", "FFVH", "FFV1",
    "LAGS", "ULRG", "ULY0", "ULY2", "MAGY", "TSCC", "CSCD", "ZMBV", "FPS1", "WMV3", "mpg2",
    "mpg1", "HEVC", "MPNG", "v210", "VP80", "AV01",
]


def written_order(entries):
    first_keys = [code.upper() for code in MOST_MET]
    by_key = {key.upper(): (key, text) for key, text in entries}
    for code in MOST_MET:
        if code.upper() not in by_key or is_prefix(code):
            sys.exit(f"most met code {code!r} has no exact entry")
    first = [by_key[key] for key in first_keys]
    rest = [e for e in entries if e[0].upper() not in first_keys]
    exact = [e for e in rest if not is_prefix(e[0]) and not is_control(e[0])]
    prefixes = [e for e in rest if is_prefix(e[0])]
    control = [e for e in rest if is_control(e[0])]
    return first + exact + prefixes + control


def is_prefix(key):
    return key[3] == "*"


def is_control(key):
    return any(ord(c) < 0x20 for c in key)


def check(entries):
    seen = {}
    for key, text in entries:
        if len(key) != 4:
            sys.exit(f"key {key!r} is not four characters")
        if any(c in text for c in ",\r\n") or not text or text != text.strip():
            sys.exit(f"description of {key!r} has a comma or line end or is empty or padded")
        folded = key.upper()
        if folded in seen:
            sys.exit(f"key {key!r} repeats {seen[folded]!r} (lookups ignore case)")
        seen[folded] = key


def read_code_list(path):
    """The codes of a LIST file, as bytes."""
    codes = []
    for line in pathlib.Path(path).read_text(encoding="ascii").splitlines():
        if line.startswith("#") or not line:
            continue
        code = re.sub(r"\\x([0-9A-Fa-f]{2})", lambda m: chr(int(m.group(1), 16)), line)
        codes.append(code.ljust(4).encode("latin-1"))
    return codes


def ascii_upper(data):
    return data.translate(ASCII_UPPER)


ASCII_UPPER = bytes.maketrans(b"abcdefghijklmnopqrstuvwxyz", b"ABCDEFGHIJKLMNOPQRSTUVWXYZ")


def describe(db_lines, code):
    """The description the program shows for `code`: the first line whose key matches
    (letter case ignored; a '*' as the key's fourth character matches on the first
    three), and the empty text when none does, at an empty line or a line without a
    comma."""
    for line in db_lines:
        if not line:
            return b""
        key, comma, rest = line.partition(b",")
        if key[3:4] == b"*":
            matches = ascii_upper(key[:3]) == ascii_upper(code[:3])
        else:
            matches = ascii_upper(key) == ascii_upper(code)
        if matches:
            return rest.split(b",")[0] if comma else b""
    return b""


def show_code(code):
    return "".join(chr(b) if 0x20 <= b < 0x7F and b != 0x5C else f"\\x{b:02x}" for b in code)


def coverage(db_path, list_paths):
    db_lines = re.split(rb"\r\n|\r|\n", db_path.read_bytes())
    if db_lines and db_lines[-1] == b"":
        db_lines.pop()
    for path in list_paths:
        codes = read_code_list(path)
        missing = [c for c in codes if not describe(db_lines, c)]
        covered = len(codes) - len(missing)
        share = 100.0 * covered / len(codes) if codes else 100.0
        print(f"{pathlib.Path(path).name}: {covered} of {len(codes)} codes described "
              f"({share:.1f}%)")
        if missing:
            print("  not described: " + " ".join(f"[{show_code(c)}]" for c in missing))


def main():
    target = pathlib.Path(__file__).resolve().parent.parent / "db.txt"
    if len(sys.argv) > 1:
        if sys.argv[1] != "--coverage" or len(sys.argv) < 3:
            sys.exit(__doc__)
        coverage(target, sys.argv[2:])
        return
    check(ENTRIES)
    lines = [f"{key},{text}\r\n" for key, text in written_order(ENTRIES)]
    target.write_bytes("".join(lines).encode("utf-8"))
    print(f"{target.name}: {len(lines)} entries")


if __name__ == "__main__":
    main()
