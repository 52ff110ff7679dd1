-- Languages, by the language code that agents carry (en-US, de-DE ...).
-- Codes are searched as written, so they are lower case. Where a language
-- has an old code as well, both are listed.

INSERT INTO tblLanguages (DisplayName, Pattern) VALUES
  ('English', 'en'), ('German', 'de'), ('French', 'fr'), ('Spanish', 'es'),
  ('Italian', 'it'), ('Portuguese', 'pt'), ('Dutch', 'nl'), ('Russian', 'ru'),
  ('Chinese', 'zh'), ('Japanese', 'ja'), ('Korean', 'ko'), ('Arabic', 'ar'),
  ('Polish', 'pl'), ('Turkish', 'tr'), ('Swedish', 'sv'), ('Danish', 'da'),
  ('Norwegian', 'no'), ('Norwegian', 'nb'), ('Norwegian', 'nn'), ('Finnish', 'fi'),
  ('Czech', 'cs'), ('Slovak', 'sk'), ('Hungarian', 'hu'), ('Romanian', 'ro'),
  ('Greek', 'el'), ('Hebrew', 'he'), ('Hebrew', 'iw'), ('Ukrainian', 'uk'),
  ('Bulgarian', 'bg'), ('Croatian', 'hr'), ('Serbian', 'sr'), ('Slovenian', 'sl'),
  ('Bosnian', 'bs'), ('Macedonian', 'mk'), ('Albanian', 'sq'), ('Lithuanian', 'lt'),
  ('Latvian', 'lv'), ('Estonian', 'et'), ('Icelandic', 'is'), ('Irish', 'ga'),
  ('Welsh', 'cy'), ('Scottish Gaelic', 'gd'), ('Breton', 'br'), ('Basque', 'eu'),
  ('Catalan', 'ca'), ('Galician', 'gl'), ('Asturian', 'ast'), ('Occitan', 'oc'),
  ('Corsican', 'co'), ('Luxembourgish', 'lb'), ('Romansh', 'rm'), ('Frisian', 'fy'),
  ('Faroese', 'fo'), ('Greenlandic', 'kl'), ('Maltese', 'mt'), ('Latin', 'la'),
  ('Esperanto', 'eo'), ('Belarusian', 'be'), ('Georgian', 'ka'), ('Armenian', 'hy'),
  ('Azerbaijani', 'az'), ('Kazakh', 'kk'), ('Kyrgyz', 'ky'), ('Uzbek', 'uz'),
  ('Turkmen', 'tk'), ('Tajik', 'tg'), ('Tatar', 'tt'), ('Mongolian', 'mn'),
  ('Persian', 'fa'), ('Pashto', 'ps'), ('Kurdish', 'ku'), ('Urdu', 'ur'),
  ('Hindi', 'hi'), ('Bengali', 'bn'), ('Punjabi', 'pa'), ('Gujarati', 'gu'),
  ('Marathi', 'mr'), ('Tamil', 'ta'), ('Telugu', 'te'), ('Kannada', 'kn'),
  ('Malayalam', 'ml'), ('Oriya', 'or'), ('Assamese', 'as'), ('Sindhi', 'sd'),
  ('Nepali', 'ne'), ('Sinhala', 'si'), ('Tibetan', 'bo'), ('Burmese', 'my'),
  ('Thai', 'th'), ('Lao', 'lo'), ('Khmer', 'km'), ('Vietnamese', 'vi'),
  ('Indonesian', 'id'), ('Indonesian', 'in'), ('Malay', 'ms'), ('Javanese', 'jv'),
  ('Sundanese', 'su'), ('Filipino', 'fil'), ('Tagalog', 'tl'), ('Cebuano', 'ceb'),
  ('Maori', 'mi'), ('Samoan', 'sm'), ('Tongan', 'to'), ('Hawaiian', 'haw'),
  ('Swahili', 'sw'), ('Amharic', 'am'), ('Tigrinya', 'ti'), ('Somali', 'so'),
  ('Hausa', 'ha'), ('Yoruba', 'yo'), ('Igbo', 'ig'), ('Wolof', 'wo'),
  ('Zulu', 'zu'), ('Xhosa', 'xh'), ('Afrikaans', 'af'), ('Sotho', 'st'),
  ('Shona', 'sn'), ('Kinyarwanda', 'rw'), ('Malagasy', 'mg'), ('Haitian Creole', 'ht'),
  ('Quechua', 'qu'), ('Uyghur', 'ug'), ('Yiddish', 'yi');

UPDATE tblLanguages SET SearchOrder = rowid * 10;
