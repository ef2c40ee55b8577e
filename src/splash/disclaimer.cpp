#include "splash/disclaimer.h"

namespace caldrift {

std::string splashDisclaimer() {
    return "Avviso : Non mi assumo nessuna responsabilit\xC3\xA0 per un qualsiasi "
           "malfunzionamento della PSP\r\n"
           "causato da un utilizzo non appropriato di questa applicazione.\r\n"
           "Questo Programma \xC3\xA8 stato testa su svariate PSP e su svariati modelli e "
           "firmware.\r\n"
           "In fase di BetaTesing non ha causato nessun danno alle console quindi \xC3\xA8 "
           "sicuro per\r\n"
           "le vostre.";
}

}  // namespace caldrift
