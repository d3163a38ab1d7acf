#!/usr/bin/perl
# The edits of quillmere-cli's eight group switches (--tables --scripts
# --pictures --forms --sounds --notes --lists --fonts, default case mode) as
# Perl substitutions, one per step and in the same order, for comparing
# speed. Filters standard input to standard output.
#
# Where Perl differs: a substitution scans once and never restarts, while the
# program searches again from the start after each block it removes and
# re-reads what a replacement leaves; a block's end here cannot overlap its
# begin ("<!-->" is no comment); runs of <BR> collapse in one substitution.
use strict;
use warnings;

binmode STDIN;
binmode STDOUT;
local $/;
$_ = <STDIN> // '';

# Tables
s/<table.*?>//gsi;
s/<\/table>//gi;
s/<tr>//gi;
s/<\/tr>//gi;
s/<td.*?>/<p>/gsi;
s/<th.*?>/<p>/gsi;
s/<\/td>/<\/p>/gi;
s/<\/th>/<\/p>/gi;

# Scripts and applets, pictures, forms, background sounds
s/<script.*?\/script>//gsi;
s/<applet.*?\/applet>//gsi;
s/<img.*?>//gsi;
s/<form.*?\/form>//gsi;
s/<bgsound.*?>//gsi;

# Notes and unnecessary characters
s/\A[\t\n\x0B\f\r ]+//;
s/[\t\n\x0B\f\r ]+\z//;
s/  / /g;
s/(?:<BR>){2,}/<BR>/gi;
s/\t//g;
s/\r\n\r\n/\r\n/g;
s/\r\n /\r\n/g;
s/<!--.*?-->//gs;
s/<p><\/p>//gi;
s/<p>\r\n<\/p>//gi;

# Lists and formats
s/<NOBR>//gi;
s/<\/NOBR>//gi;
s/<UL.*?>//gsi;
s/<\/UL>//gi;
s/<OL.*?>//gsi;
s/<\/OL>//gi;
s/<LI.*?>/<BR>/gsi;
s/<\/LI>//gi;
s/<DL>//gi;
s/<\/DL>//gi;
s/<DT>//gi;
s/<\/DT>//gi;
s/<DD>/<BR>/gi;
s/<\/DD>//gi;
s/<menu>//gi;
s/<\/menu>//gi;
s/<dir>//gi;
s/<\/dir>//gi;

# Fonts and text styles
s/<B>//gi;
s/<\/B>//gi;
s/<U>//gi;
s/<\/U>//gi;
s/<I>//gi;
s/<\/I>//gi;
s/<S>//gi;
s/<\/S>//gi;
s/<TT>//gi;
s/<\/TT>//gi;
s/<BIG>//gi;
s/<\/BIG>//gi;
s/<SMALL>//gi;
s/<\/SMALL>//gi;
s/<FONT.*?>//gsi;
s/<\/FONT>//gi;
s/<BASEFONT.*?>//gsi;
s/<\/BASEFONT>//gi;
s/<blockquote>//gi;
s/<\/blockquote>//gi;

print;
